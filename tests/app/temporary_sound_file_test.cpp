// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/temporary_sound_file.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace vortan {
namespace {

namespace fs = std::filesystem;

TEST(TemporarySoundFile, EachProgramHasItsOwnAndTheOnesOfKilledProgramsGo)
{
    test::ScratchFolder root;
    const fs::path shared = root / "vortan";
    // A program killed while it renders: its file and the writer's temporary one stay behind.
    const pid_t child = ::fork();
    if (child == 0) {
        const TemporarySoundFile killed(shared);
        test::writeText(killed.path(), "RIFF");
        test::writeText(killed.path().parent_path() / ".vortan-abcdefghijkl.tmp", "data");
        std::raise(SIGKILL);
    }
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    // And what an earlier version, with one file for all, left when a rendering was killed.
    test::writeText(shared / "~ortan.wav", "RIFF");
    test::writeText(shared / ".vortan-0123456789ab.tmp", std::string(4096, 'x'));
    EXPECT_EQ(test::entryCount(shared), 3u);

    fs::path first;
    {
        const TemporarySoundFile one(shared);
        const TemporarySoundFile two(shared);
        // Only the two new folders are left; each program's file has the same name.
        EXPECT_EQ(test::entryCount(shared), 2u);
        EXPECT_EQ(one.path().filename(), "~ortan.wav");
        EXPECT_EQ(two.path().filename(), "~ortan.wav");
        EXPECT_NE(one.path().parent_path(), two.path().parent_path());
        EXPECT_EQ(one.path().parent_path().parent_path(), shared);
        first = one.path();
        test::writeText(first, "RIFF");
    }
    EXPECT_FALSE(fs::exists(first.parent_path()));
    EXPECT_EQ(test::entryCount(shared), 0u);
}

} // namespace
} // namespace vortan
