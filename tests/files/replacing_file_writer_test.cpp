// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/replacing_file_writer.h"
#include "files/stop_request.h"
#include "support/fifo_guard.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>

using namespace vortan;
using test::readBytes;
using test::writeText;

namespace {

// A mount of our own (root only), undone when done.
struct Mount {
    std::filesystem::path at;
    bool mounted;
    ~Mount()
    {
        if (mounted)
            ::umount(at.c_str());
    }
};

// Writes `byteCount` bytes to `file` through the writer, expecting `message`, and checks that
// the folder is as it was: an old file unchanged and no temporary file behind.
void expectRefused(const std::filesystem::path& file, std::size_t byteCount,
                   const std::string& message, const WriteRules& rules = {})
{
    const auto folder = file.parent_path();
    const auto old = readBytes(file);
    const std::size_t entries = test::entryCount(folder);
    try {
        ReplacingFileWriter writer(file, rules);
        const std::vector<char> bytes(byteCount, 'x');
        writer.write(bytes.data(), bytes.size());
        writer.commit();
        ADD_FAILURE() << "accepted; expected " << message;
    } catch (const IoError& error) {
        EXPECT_EQ(error.what(), message);
    }
    EXPECT_EQ(readBytes(file), old) << message;
    EXPECT_EQ(test::entryCount(folder), entries) << message;
}

// The message the writer refuses the target with, or "<accepted>".
std::string refusal(const std::filesystem::path& target, const WriteRules& rules = {})
{
    try {
        ReplacingFileWriter writer(target, rules);
        return "<accepted>";
    } catch (const IoError& error) {
        return error.what();
    }
}

} // namespace

TEST(ReplacingFileWriter, ReplacesWholeOrNotAtAll)
{
    test::ScratchFolder folder;
    writeText(folder / "old.wav", "old");
    {
        ReplacingFileWriter writer(folder / "old.wav");
        writer.write("new", 3);
        // Until the commit the old file is what a reader sees.
        EXPECT_EQ(readBytes(folder / "old.wav"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        writer.commit();
    }
    EXPECT_EQ(test::entryCount(folder.path), 1u);
    EXPECT_EQ(readBytes(folder / "old.wav"), (std::vector<std::uint8_t>{'n', 'e', 'w'}));

    {
        // Left without a commit: the old file stays and the temporary one goes.
        ReplacingFileWriter abandoned(folder / "old.wav");
        abandoned.write("lost", 4);
    }
    EXPECT_EQ(test::entryCount(folder.path), 1u);
    EXPECT_EQ(readBytes(folder / "old.wav"), (std::vector<std::uint8_t>{'n', 'e', 'w'}));

    expectRefused(folder / "missing" / "out.wav", 1,
                  "Invalid filename: " + (folder / "missing" / "out.wav").string() +
                      ": No such file or directory");
}

TEST(ReplacingFileWriter, LinuxErrorsMapOntoTheProgramsNumbers)
{
    // Linux errors that share no meaning with the program's numbers keep their own.
    EXPECT_STREQ(ioErrorForErrno(EIO).what(), "I/O error 5");
    EXPECT_STREQ(ioErrorForErrno(EMFILE).what(), "Too many open files");
    EXPECT_STREQ(ioErrorForErrno(EIO, "/x/y.wav").what(),
                 "I/O error 5: /x/y.wav: Input/output error");

    // A full disk, and a read-only file in a folder that could take a new one.
    test::ScratchFolder folder;
    std::filesystem::create_directory(folder / "full");
    const auto locked = folder / "locked.wav";
    writeText(locked, "old");
    const Mount full{folder / "full",
                     ::mount("tmpfs", (folder / "full").c_str(), "tmpfs", 0, "size=16k") == 0};
    const Mount bound{locked,
                      ::mount(locked.c_str(), locked.c_str(), nullptr, MS_BIND, nullptr) == 0};
    if (!full.mounted || !bound.mounted ||
        ::mount(nullptr, locked.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "the full-disk and read-only cases need root to mount a tmpfs and a file";
    writeText(full.at / "out.wav", "old");
    // The full disk names the folder that has no room.
    expectRefused(full.at / "out.wav", 64 * 1024,
                  "Disk full: " + full.at.string() + ": No space left on device");
    expectRefused(locked, 1, "File access denied: " + locked.string() + ": Read-only file system");
}

TEST(ReplacingFileWriter, NothingAtTheTargetIsWaitedFor)
{
    test::ScratchFolder folder;
    const auto fifo = folder / "fifo.wav";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // The window's files: only regular ones.
    std::string message;
    EXPECT_TRUE(test::endsWithoutWaitingOn(fifo, [&] { message = refusal(fifo); }));
    EXPECT_EQ(message, "File access denied: " + fifo.string() + ": not a regular file");
    EXPECT_EQ(refusal(folder.path),
              "File access denied: " + folder.path.string() + ": Is a directory");

    // A command-line tool's: devices, and a pipe once some program reads from it.
    const WriteRules devices{.allowDevices = true};
    EXPECT_TRUE(test::endsWithoutWaitingOn(fifo, [&] { message = refusal(fifo, devices); }));
    EXPECT_EQ(message,
              "File access denied: " + fifo.string() + ": no program reads from this pipe");
    std::string received;
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    std::thread drain([&] {
        ::fcntl(reader, F_SETFL, 0);
        char buffer[4096];
        for (ssize_t got; (got = ::read(reader, buffer, sizeof buffer)) > 0;)
            received.append(buffer, static_cast<std::size_t>(got));
    });
    {
        ReplacingFileWriter writer(fifo, devices);
        writer.write("piped", 5);
        writer.commit();
    }
    drain.join();
    ::close(reader);
    EXPECT_EQ(received, "piped");
    ReplacingFileWriter null("/dev/null", devices);
    null.write("x", 1);
    null.commit();
}

TEST(ReplacingFileWriter, LinksAreFollowedOrReplacedAsAsked)
{
    test::ScratchFolder folder;
    writeText(folder / "target", "13 bytes here");
    std::filesystem::create_symlink(folder / "target", folder / "followed");
    std::filesystem::create_symlink(folder / "target", folder / "replaced");
    for (const char* name : {"followed", "replaced"}) {
        ReplacingFileWriter writer(folder / name,
                                   {.followLinks = std::string_view(name) == "followed"});
        writer.write(name, std::strlen(name));
        writer.commit();
    }
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "followed"));
    EXPECT_FALSE(std::filesystem::is_symlink(folder / "replaced"));
    EXPECT_EQ(readBytes(folder / "replaced"),
              (std::vector<std::uint8_t>{'r', 'e', 'p', 'l', 'a', 'c', 'e', 'd'}));
    EXPECT_EQ(readBytes(folder / "target"),
              (std::vector<std::uint8_t>{'f', 'o', 'l', 'l', 'o', 'w', 'e', 'd'}));

    std::filesystem::create_symlink("loop", folder / "loop");
    expectRefused(folder / "loop", 1,
                  "I/O error 40: " + (folder / "loop").string() +
                      ": Too many levels of symbolic links");
}

TEST(ReplacingFileWriter, AStopRequestEndsOnlyTheWritesThatAskedForIt)
{
    test::ScratchFolder folder;
    writeText(folder / "out.wav", "old");
    const std::vector<char> block(ReplacingFileWriter::bufferByteCount, 'x');
    requestStop();
    try {
        ReplacingFileWriter writer(folder / "out.wav", {.stopOnRequest = true});
        writer.write(block.data(), block.size());
        writer.commit();
        ADD_FAILURE() << "a rendering went on after the stop request";
    } catch (const StopRequested&) {
    }
    EXPECT_EQ(test::entryCount(folder.path), 1u);
    EXPECT_EQ(readBytes(folder / "out.wav"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    // The settings written on the way out still go whole.
    ReplacingFileWriter settings(folder / "out.wav");
    settings.write(block.data(), block.size());
    settings.commit();
    withdrawStopRequest();
    EXPECT_EQ(readBytes(folder / "out.wav").size(), block.size());
}
