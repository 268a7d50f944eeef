// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "files/private_folder.h"
#include "files/process_folder.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vortan;
namespace fs = std::filesystem;
using test::readBytes;
using test::writeText;

namespace {

unsigned modeOf(const fs::path& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & (S_IFMT | 07777) : 0u;
}

// A process id that no process has: a child that has ended and been reaped.
pid_t endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

constexpr uid_t kNobody = 65534;

} // namespace

TEST(PrivateFolder, IsMadePrivateAndMustReallyBeAFolderOfOurs)
{
    test::ScratchFolder scratch;
    const fs::path folder = scratch / "cache" / "vortan";
    preparePrivateFolder(folder);
    EXPECT_EQ(modeOf(folder), S_IFDIR | 0700u);
    EXPECT_EQ(modeOf(folder.parent_path()), S_IFDIR | 0700u);

    fs::create_directory_symlink(folder, scratch / "link");
    writeText(scratch / "file", "x");
    for (const char* entry : {"link", "file"}) {
        try {
            preparePrivateFolder(scratch / entry);
            ADD_FAILURE() << entry << " accepted";
        } catch (const Error& error) {
            EXPECT_EQ(error.what(),
                      "Cannot use the folder " + (scratch / entry).string() + ": not a folder");
        }
    }
}

TEST(PrivateFolder, FoundOpenItIsClosedAndClearedOfWhatOthersPutThere)
{
    test::ScratchFolder scratch;
    const fs::path folder = scratch / "vortan";
    preparePrivateFolder(folder);
    writeText(scratch / "victim", "keep me safe");
    writeText(folder / "ours.txt", "ours");
    ::chmod(folder.c_str(), 0777);
    // A neighbour plants a link where a rendering would go, and a folder with a file.
    fs::create_symlink(scratch / "victim", folder / "~ortan.wav");
    fs::create_directories(folder / "theirs" / "deep");
    writeText(folder / "theirs" / "deep" / "file", "x");
    // Only root can give files to another user.
    const bool asNeighbour = ::geteuid() == 0 &&
                             ::lchown((folder / "~ortan.wav").c_str(), kNobody, kNobody) == 0 &&
                             ::chown((folder / "theirs").c_str(), kNobody, kNobody) == 0;

    preparePrivateFolder(folder);
    EXPECT_EQ(modeOf(folder), S_IFDIR | 0700u);
    EXPECT_TRUE(fs::exists(folder / "ours.txt"));
    EXPECT_EQ(readBytes(scratch / "victim").size(), 12u);
    if (!asNeighbour)
        GTEST_SKIP() << "planting files as another user needs root";
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "~ortan.wav")));
    EXPECT_FALSE(fs::exists(folder / "theirs"));
}

TEST(PrivateFolder, RemovingATreeNeverFollowsALink)
{
    test::ScratchFolder scratch;
    fs::create_directories(scratch / "outside");
    writeText(scratch / "outside" / "file", "x");
    fs::create_directories(scratch / "tree" / "sub");
    fs::create_directory_symlink(scratch / "outside", scratch / "tree" / "sub" / "link");
    EXPECT_TRUE(removeTree(scratch / "tree"));
    EXPECT_FALSE(fs::exists(scratch / "tree"));
    EXPECT_TRUE(fs::exists(scratch / "outside" / "file"));
    EXPECT_TRUE(removeTree(scratch / "missing"));
}

TEST(ProcessFolder, IsOursWhileWeRunAndStaleOnesGoAtTheNextStart)
{
    test::ScratchFolder scratch;
    const fs::path shared = scratch / "vortan";
    fs::path own;
    {
        const ProcessFolder folder(shared);
        own = folder.path();
        EXPECT_EQ(own.parent_path(), shared);
        EXPECT_TRUE(own.filename().string().starts_with(std::to_string(::getpid()) + "-"));
        EXPECT_EQ(modeOf(own), S_IFDIR | 0700u);
        // A second one (a second window) gets a folder of its own.
        const ProcessFolder second(shared);
        EXPECT_NE(second.path(), own);
        EXPECT_TRUE(fs::exists(own));
    }
    EXPECT_FALSE(fs::exists(own));

    // A program killed while rendering left its folder; one of a running program (our parent),
    // one whose lock is held (a program elsewhere sharing the folder) and a stranger stay.
    const std::string gone = std::to_string(endedProcess());
    fs::create_directories(shared / (gone + "-abcdef") / "sub");
    writeText(shared / (gone + "-abcdef") / ".vortan-x.tmp", std::string(4096, 'x'));
    fs::create_directory(shared / (gone + "-locked"));
    fs::create_directory(shared / (std::to_string(::getppid()) + "-alive"));
    fs::create_directory(shared / "notes");
    const int lock = ::open((shared / (gone + "-locked")).c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    {
        const ProcessFolder next(shared);
        EXPECT_FALSE(fs::exists(shared / (gone + "-abcdef")));
        EXPECT_TRUE(fs::exists(shared / (gone + "-locked")));
        EXPECT_TRUE(fs::exists(shared / (std::to_string(::getppid()) + "-alive")));
        EXPECT_TRUE(fs::exists(shared / "notes"));
    }
    ::close(lock);
}
