#include "synthesis/errors.h"
#include "synthesis/replacing_file_writer.h"
#include "synthesis/synthesizer.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

using namespace vortan;
using vortan::test::readBytes;
using vortan::test::ScratchFolder;
using vortan::test::writeText;

namespace {

int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const IoError& error) {
        return error.errorNumber();
    }
    return 0;
}

// Renders the letter e (4104 bytes) into a file.
void renderE(const std::filesystem::path& file)
{
    RandomGenerator random;
    FixedClock clock(0);
    auto synthesizer = std::make_unique<Synthesizer>(random, clock);
    synthesizer->txtofile(file, "e", {});
}

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

mode_t modeOf(const std::filesystem::path& path)
{
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// Makes a file unwritable even for root; false when this system does not allow it.
bool makeReadOnly(const std::filesystem::path& file)
{
    if (::geteuid() != 0)
        return ::chmod(file.c_str(), 0444) == 0;
    const int fd = ::open(file.c_str(), O_RDONLY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags |= FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

void clearReadOnly(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY);
    int flags = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags &= ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    if (fd >= 0)
        ::close(fd);
    ::chmod(file.c_str(), 0644);
}

// A small file system of our own, for full and read-only places; unmounted on destruction.
class TmpfsMount {
public:
    TmpfsMount(const std::filesystem::path& at, const char* options, unsigned long flags)
        : m_at(at)
    {
        std::filesystem::create_directory(at);
        m_mounted = ::mount("tmpfs", at.c_str(), "tmpfs", flags, options) == 0;
    }
    ~TmpfsMount()
    {
        if (m_mounted)
            ::umount(m_at.c_str());
    }
    bool mounted() const { return m_mounted; }
    void remountReadOnly()
    {
        ::mount("tmpfs", m_at.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr);
    }

private:
    std::filesystem::path m_at;
    bool m_mounted = false;
};

} // namespace

TEST(ReplacingFileWriter, ErrnoMapping)
{
    const struct {
        int errnoValue;
        int number;
        const char* message;
    } rows[] = {
        {ENOENT, 3, "Invalid filename"},     {ENOTDIR, 3, "Invalid filename"},
        {EMFILE, 4, "Too many open files"},  {ENFILE, 4, "Too many open files"},
        {EACCES, 5, "File access denied"},   {EPERM, 5, "File access denied"},
        {EROFS, 5, "File access denied"},    {ENOSPC, 101, "Disk full"},
        {EDQUOT, 101, "Disk full"},          {EIO, EIO, "I/O error 5"},
        {ENETUNREACH, 101, "I/O error 101"}, {EFBIG, EFBIG, "I/O error 27"},
    };
    for (const auto& row : rows) {
        const IoError error = ioErrorForErrno(row.errnoValue);
        EXPECT_EQ(error.errorNumber(), row.number) << "errno " << row.errnoValue;
        EXPECT_STREQ(error.what(), row.message) << "errno " << row.errnoValue;
    }
}

TEST(ReplacingFileWriter, NewAndReplacedFilesGetOrdinaryModes)
{
    ScratchFolder folder;
    const mode_t oldMask = ::umask(027);
    renderE(folder / "new.wav");
    EXPECT_EQ(modeOf(folder / "new.wav"), 0640u);
    ::umask(0);
    renderE(folder / "fresh.wav");
    EXPECT_EQ(modeOf(folder / "fresh.wav"), 0666u);
    ::umask(oldMask);

    writeText(folder / "kept.wav", "old");
    ::chmod((folder / "kept.wav").c_str(), 0604);
    renderE(folder / "kept.wav");
    EXPECT_EQ(modeOf(folder / "kept.wav"), 0604u);
    EXPECT_EQ(readBytes(folder / "kept.wav").size(), 4104u);
    EXPECT_EQ(folder.entryCount(), 3u); // no temporary file left behind
}

TEST(ReplacingFileWriter, SymbolicLinkKeepsPointingAtTheNewFile)
{
    ScratchFolder folder;
    writeText(folder / "real.wav", "old");
    std::filesystem::create_symlink(folder / "real.wav", folder / "link.wav");
    renderE(folder / "link.wav");
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.wav"));
    EXPECT_EQ(readBytes(folder / "real.wav").size(), 4104u);
}

TEST(ReplacingFileWriter, UnfinishedFileLeavesTheOldOneAlone)
{
    ScratchFolder folder;
    writeText(folder / "out.wav", "old");
    {
        ReplacingFileWriter writer(folder / "out.wav");
        const std::vector<char> block(ReplacingFileWriter::bufferByteCount * 3, 'x');
        writer.write(block.data(), block.size());
        EXPECT_EQ(folder.entryCount(), 2u);
    }
    EXPECT_EQ(readBytes(folder / "out.wav"), bytesOf("old"));
    EXPECT_EQ(folder.entryCount(), 1u);
}

TEST(ReplacingFileWriter, PlacesThatCannotBeWritten)
{
    ScratchFolder folder;
    EXPECT_EQ(errorNumberOf([&] { renderE(folder / "missing" / "out.wav"); }), 3);
    EXPECT_EQ(errorNumberOf([&] { renderE(""); }), 3);
    EXPECT_EQ(errorNumberOf([&] { renderE(folder.path()); }), 5);
    writeText(folder / "file", "x");
    EXPECT_EQ(errorNumberOf([&] { renderE(folder / "file" / "out.wav"); }), 3);
    EXPECT_EQ(folder.entryCount(), 1u);
}

TEST(ReplacingFileWriter, DevicesAreWrittenNotReplaced)
{
    if (!std::filesystem::is_character_file("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    EXPECT_EQ(errorNumberOf([] { renderE("/dev/full"); }), 101);
    renderE("/dev/null");
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST(ReplacingFileWriter, ReadOnlyFileIsAccessDeniedAndKept)
{
    ScratchFolder folder;
    const auto file = folder / "locked.wav";
    writeText(file, "old");
    if (!makeReadOnly(file))
        GTEST_SKIP() << "cannot make a file read-only here (root needs the immutable attribute)";
    const int number = errorNumberOf([&] { renderE(file); });
    clearReadOnly(file);
    EXPECT_EQ(number, 5);
    EXPECT_EQ(readBytes(file), bytesOf("old"));
    EXPECT_EQ(folder.entryCount(), 1u);
}

TEST(ReplacingFileWriter, ReadOnlyFolderIsAccessDenied)
{
    ScratchFolder folder;
    if (::geteuid() != 0) {
        ::chmod(folder.path().c_str(), 0555);
        EXPECT_EQ(errorNumberOf([&] { renderE(folder / "out.wav"); }), 5);
        ::chmod(folder.path().c_str(), 0755);
        return;
    }
    TmpfsMount mount(folder / "ro", "size=64k", MS_RDONLY);
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a read-only tmpfs here";
    EXPECT_EQ(errorNumberOf([&] { renderE(folder / "ro" / "out.wav"); }), 5);
}

TEST(ReplacingFileWriter, FullDiskKeepsTheOldFile)
{
    ScratchFolder folder;
    TmpfsMount mount(folder / "small", "size=16k", 0);
    if (!mount.mounted())
        GTEST_SKIP() << "full-disk test needs root to mount a small tmpfs";
    const auto file = folder / "small" / "out.wav";
    writeText(file, "old");
    RandomGenerator random;
    FixedClock clock(0);
    auto synthesizer = std::make_unique<Synthesizer>(random, clock);
    EXPECT_EQ(errorNumberOf([&] { synthesizer->txtofile(file, "paris paris", {}); }), 101);
    EXPECT_EQ(readBytes(file), bytesOf("old"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "small"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(ReplacingFileWriter, TooManyOpenFiles)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP()
        << "the sanitizers' own checks need free file descriptors; covered by the dev build";
#endif
    ScratchFolder folder;
    RandomGenerator random;
    FixedClock clock(0);
    auto synthesizer = std::make_unique<Synthesizer>(random, clock);
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> spare;
    for (int fd; (fd = ::dup(0)) >= 0;)
        spare.push_back(fd);
    int number = 0;
    try {
        synthesizer->txtofile(folder / "out.wav", "e", {});
    } catch (const IoError& error) {
        number = error.errorNumber();
    }
    for (const int fd : spare)
        ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(number, 4);
    EXPECT_EQ(folder.entryCount(), 0u);
}
