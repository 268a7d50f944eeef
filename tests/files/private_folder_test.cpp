// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/private_folder.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
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

constexpr uid_t kNobody = 65534;

} // namespace

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
