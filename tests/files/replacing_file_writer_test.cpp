// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/growing_file.h"
#include "files/replacing_file_writer.h"
#include "files/stop_request.h"
#include "support/fifo_guard.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace vortan;
using test::Mount;
using test::readBytes;
using test::writeText;

namespace {

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

TEST(ReplacingFileWriter, AFullDiskAndAReadOnlyFileLeaveTheOldFileWhole)
{
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
}

TEST(ReplacingFileWriter, AGrowingFileSeesEveryBlockAsItIsWrittenAndHowTheWritingEnded)
{
    enum class End { Commit, Abandon, StopRequest };
    for (const End end : {End::Commit, End::Abandon, End::StopRequest}) {
        SCOPED_TRACE(static_cast<int>(end));
        test::ScratchFolder folder;
        writeText(folder / "out.wav", "old");
        GrowingFile growing;
        std::vector<std::uint8_t> bytes(3 * ReplacingFileWriter::bufferByteCount);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 2654435761u >> 11);
        // What a reader of the growing file finds: exactly the bytes written so far.
        const auto readable = [&growing] {
            std::vector<std::uint8_t> read(growing.bytes() + 1);
            const ssize_t got = ::pread(growing.readDescriptor(), read.data(), read.size(), 0);
            read.resize(static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
            return read;
        };
        try {
            ReplacingFileWriter writer(folder / "out.wav", {.growing = &growing});
            EXPECT_EQ(growing.state(), GrowingFile::State::Writing);
            std::size_t written = 0;
            for (; written < bytes.size(); written += 1000) {
                if (written == 10'000) {
                    // The first block reached the file long before the buffer was full.
                    EXPECT_EQ(readable(),
                              std::vector(bytes.begin(), bytes.begin() + long(growing.bytes())));
                    EXPECT_GE(growing.bytes(), ReplacingFileWriter::firstGrowingBlock);
                    if (end == End::StopRequest)
                        growing.requestStop();
                }
                writer.write(bytes.data() + written,
                             std::min<std::size_t>(1000, bytes.size() - written));
            }
            EXPECT_NE(end, End::StopRequest) << "a stop request ended nothing";
            EXPECT_EQ(growing.state(), GrowingFile::State::Writing);
            if (end == End::Commit)
                writer.commit();
        } catch (const StopRequested&) {
            EXPECT_EQ(end, End::StopRequest);
        }
        if (end == End::Commit) {
            EXPECT_EQ(growing.state(), GrowingFile::State::Complete);
            EXPECT_EQ(readable(), bytes);
            EXPECT_EQ(readBytes(folder / "out.wav"), bytes);
        } else {
            EXPECT_EQ(growing.state(), GrowingFile::State::Failed);
            EXPECT_EQ(readBytes(folder / "out.wav"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        }
        EXPECT_EQ(test::entryCount(folder.path), 1u);
    }
}
