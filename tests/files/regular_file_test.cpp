// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/regular_file.h"
#include "support/fifo_guard.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vortan;

TEST(RegularFile, InputFromPipesAndDevicesIsBoundedAndNeverWaitedFor)
{
    // An endless device ends at the limit, holding no more than it.
    const RegularFileBytes zeros = readInputFile("/dev/zero", 1'000'000);
    EXPECT_EQ(zeros.state, RegularFileState::TooLarge);
    EXPECT_TRUE(zeros.bytes.empty());

    // A named pipe no program writes to reads as empty instead of waiting for a writer.
    test::ScratchFolder scratch;
    ASSERT_EQ(::mkfifo((scratch / "fifo").c_str(), 0600), 0);
    RegularFileBytes piped;
    EXPECT_TRUE(test::endsWithoutWaitingOn(scratch / "fifo",
                                           [&] { piped = readInputFile(scratch / "fifo", 10); }));
    EXPECT_EQ(piped.state, RegularFileState::Read);
    EXPECT_EQ(readInputFile(scratch.path, 10).state, RegularFileState::NotRegular);
}
