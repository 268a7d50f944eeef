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

// A 16 KiB file system of our own (root only), unmounted when done.
struct Tmpfs {
    explicit Tmpfs(const std::filesystem::path& where)
        : at(where)
    {
        std::filesystem::create_directory(at);
        mounted = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=16k") == 0;
    }
    ~Tmpfs()
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

    const Tmpfs full(folder / "full"), readOnly(folder / "ro");
    if (!full.mounted || !readOnly.mounted)
        GTEST_SKIP() << "the full-disk and read-only cases need root to mount a small tmpfs";
    writeText(full.at / "out.wav", "old");
    expectRefused(full.at / "out.wav", "paris paris", {}, "Disk full");
    writeText(readOnly.at / "out.wav", "old");
    ASSERT_EQ(::mount("tmpfs", readOnly.at.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
    expectRefused(readOnly.at / "out.wav", "e", {}, "File access denied");
}
