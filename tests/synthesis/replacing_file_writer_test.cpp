#include "synthesis/replacing_file_writer.h"
#include "synthesis/synthesizer.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/mount.h>

using namespace vortan;
using test::readBytes;
using test::writeText;

namespace {

// A mount of our own (root only), undone when done.
struct Mount {
    Mount(const char* source, const std::filesystem::path& where, const char* type,
          unsigned long flags, const char* options)
        : at(where)
        , mounted(::mount(source, where.c_str(), type, flags, options) == 0)
    {
    }
    ~Mount()
    {
        if (mounted)
            ::umount(at.c_str());
    }
    std::filesystem::path at;
    bool mounted;
};

// Expects the rendering to be refused with `message`, leaving the folder as it was: an old file
// unchanged and no temporary file behind.
void expectRefused(const std::filesystem::path& file, std::string_view text,
                   const SynthesisSettings& settings, const std::string& message)
{
    const auto folder = file.parent_path();
    const auto old = readBytes(file);
    const std::size_t entries = exists(folder) ? test::entryCount(folder) : 0;
    RandomGenerator random;
    FixedClock clock(0);
    try {
        std::make_unique<Synthesizer>(random, clock)->txtofile(file, text, settings);
        ADD_FAILURE() << "accepted; expected " << message;
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), message);
    }
    EXPECT_EQ(readBytes(file), old) << message;
    EXPECT_EQ(exists(folder) ? test::entryCount(folder) : 0, entries) << message;
}

} // namespace

TEST(ReplacingFileWriter, RefusalsLeaveTheOldFileAlone)
{
    test::ScratchFolder folder;
    expectRefused(folder / "missing" / "out.wav", "e", {}, "Invalid filename");
    // Refused before the file is touched: 300 000 gap symbols at speed 40, spaces 10, would
    // be 4.75 billion samples, more than the header's 32 bits hold.
    writeText(folder / "old.wav", "old");
    expectRefused(folder / "old.wav", std::string(150000, ' '), {.speed = 40, .spaces = 10},
                  "The text is too long to render into one WAV file (119 hours of signal; a WAV "
                  "file holds at most 108 hours at this quality)");
    expectRefused(folder / "old.wav", "e", {.noise = 51},
                  "The setting noise must lie between 0 and 50, not 51");

    // Linux errors that share no meaning with the program's numbers keep their own.
    EXPECT_STREQ(ioErrorForErrno(EIO).what(), "I/O error 5");
    EXPECT_STREQ(ioErrorForErrno(EMFILE).what(), "Too many open files");

    // A full disk, and a read-only file in a folder that could take a new one.
    std::filesystem::create_directory(folder / "full");
    const Mount full("tmpfs", folder / "full", "tmpfs", 0, "size=16k");
    const auto locked = folder / "locked.wav";
    writeText(locked, "old");
    const Mount bound(locked.c_str(), locked, nullptr, MS_BIND, nullptr);
    if (!full.mounted || !bound.mounted ||
        ::mount(nullptr, locked.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "the full-disk and read-only cases need root to mount a tmpfs and a file";
    writeText(full.at / "out.wav", "old");
    expectRefused(full.at / "out.wav", "paris paris", {}, "Disk full");
    expectRefused(locked, "e", {}, "File access denied");
}
