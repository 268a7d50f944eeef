#include "files/replacing_file_writer.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/mount.h>

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
                   const std::string& message)
{
    const auto folder = file.parent_path();
    const auto old = readBytes(file);
    const std::size_t entries = test::entryCount(folder);
    try {
        ReplacingFileWriter writer(file);
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

    expectRefused(folder / "missing" / "out.wav", 1, "Invalid filename");
}

TEST(ReplacingFileWriter, LinuxErrorsMapOntoTheProgramsNumbers)
{
    // Linux errors that share no meaning with the program's numbers keep their own.
    EXPECT_STREQ(ioErrorForErrno(EIO).what(), "I/O error 5");
    EXPECT_STREQ(ioErrorForErrno(EMFILE).what(), "Too many open files");

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
    expectRefused(full.at / "out.wav", 64 * 1024, "Disk full");
    expectRefused(locked, 1, "File access denied");
}
