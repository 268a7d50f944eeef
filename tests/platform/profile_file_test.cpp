#include "platform/profile_file.h"
#include "synthesis/errors.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace vortan;
namespace fs = std::filesystem;

namespace {

class ProfileFile : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(testing::TempDir()) / "profile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
    }
    void TearDown() override { fs::remove_all(m_folder); }

    static void writeBytes(const fs::path& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string readBytes(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::size_t entriesInFolder() const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()));
    }
    static void setSpeed(ProfileDocument& document) { document.setValue("s", "speed", "90"); }

    fs::path m_folder;
};

TEST_F(ProfileFile, ReadingTellsWhatItFound)
{
    const fs::path file = m_folder / "a.ini";
    EXPECT_EQ(readProfileFile(file).state, ProfileFileState::Missing);
    EXPECT_EQ(readProfileFile(m_folder / "no" / "a.ini").state, ProfileFileState::Missing);
    EXPECT_EQ(readProfileFile(m_folder).state, ProfileFileState::NotRegular);

    writeBytes(file, "[s]\r\nk=1\r\n");
    const ProfileFileBytes read = readProfileFile(file);
    EXPECT_EQ(read.state, ProfileFileState::Read);
    EXPECT_EQ(read.bytes, "[s]\r\nk=1\r\n");
    EXPECT_EQ(readProfileFile(file, 9).state, ProfileFileState::TooLarge);
    EXPECT_EQ(readProfileFile(file, 10).state, ProfileFileState::Read);

    fs::create_symlink("a.ini", m_folder / "link.ini");
    EXPECT_EQ(readProfileFile(m_folder / "link.ini").bytes, read.bytes);
}

TEST_F(ProfileFile, AFifoIsNeitherReadNorReplacedAndNothingWaits)
{
    const fs::path fifo = m_folder / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readProfileFile(fifo).state, ProfileFileState::NotRegular);
    EXPECT_THROW(editProfileFile(fifo, setSpeed), Error);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(ProfileFile, EditCreatesThePrivateFoldersAndTheFile)
{
    const fs::path file = m_folder / "config" / "vortan" / "vortan.ini";
    editProfileFile(file, setSpeed);
    EXPECT_EQ(readBytes(file), "[s]\r\nspeed=90\r\n");
    for (const fs::path& folder : {file.parent_path(), file.parent_path().parent_path()})
        EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all) << folder;
}

TEST_F(ProfileFile, EditKeepsPermissionsAndOtherContent)
{
    const fs::path file = m_folder / "a.ini";
    writeBytes(file, "; mine\n[s]\nspeed=1\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    editProfileFile(file, setSpeed);
    EXPECT_EQ(readBytes(file), "; mine\n[s]\nspeed=90\r\n");
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entriesInFolder(), 1u);
}

TEST_F(ProfileFile, EditReplacesTheTargetOfASymbolicLink)
{
    fs::create_directory(m_folder / "dotfiles");
    const fs::path target = m_folder / "dotfiles" / "vortan.ini";
    const fs::path link = m_folder / "vortan.ini";
    fs::create_symlink("dotfiles/vortan.ini", link); // dangling until the first write
    editProfileFile(link, setSpeed);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(target), "[s]\r\nspeed=90\r\n");

    fs::remove(link);
    fs::create_symlink("vortan.ini", link); // a link to itself
    EXPECT_THROW(editProfileFile(link, setSpeed), Error);
}

TEST_F(ProfileFile, AFailedWriteLeavesTheOldFileWhole)
{
    const fs::path file = m_folder / "a.ini";
    const std::string original = "[s]\r\nspeed=1\r\n" + std::string(100, ';') + "\r\n";
    writeBytes(file, original);

    // Even root cannot write past the file size limit: the new file fails half-way.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 50;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    try {
        editProfileFile(file, setSpeed);
        ADD_FAILURE() << "the write did not fail";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), "Unable to write to " + file.string());
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(readBytes(file), original);
    EXPECT_EQ(entriesInFolder(), 1u) << "a temporary file was left behind";
}

TEST_F(ProfileFile, UnusableFilesAreNotReplaced)
{
    const fs::path blocker = m_folder / "plain";
    writeBytes(blocker, "x");
    EXPECT_THROW(editProfileFile(blocker / "vortan.ini", setSpeed), Error);

    fs::create_directory(m_folder / "dir.ini");
    EXPECT_THROW(editProfileFile(m_folder / "dir.ini", setSpeed), Error);

    const fs::path huge = m_folder / "huge.ini";
    const std::string bytes(kMaxProfileFileBytes + 1, '\n');
    writeBytes(huge, bytes);
    EXPECT_THROW(editProfileFile(huge, setSpeed), Error);
    EXPECT_EQ(readBytes(huge), bytes);
}

TEST_F(ProfileFile, AnEditThatThrowsWritesNothing)
{
    const fs::path file = m_folder / "a.ini";
    writeBytes(file, "[s]\nspeed=1\n");
    EXPECT_THROW(editProfileFile(file,
                                 [](ProfileDocument& document) {
                                     document.setValue("s", "speed", "2");
                                     document.setValue("s", "chars", "a\nb");
                                 }),
                 std::invalid_argument);
    EXPECT_EQ(readBytes(file), "[s]\nspeed=1\n");
    EXPECT_EQ(entriesInFolder(), 1u);
}

} // namespace
