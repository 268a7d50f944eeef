// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress_line.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace std::chrono_literals;
using vortan::ProgressLine;

TEST(ProgressLine, QuietForASecondThenOneLineRewrittenPerPercentAndWiped)
{
    std::ostringstream terminal;
    ProgressLine line(terminal, "cq.wav");
    constexpr std::int64_t mib = 1024 * 1024;
    line.show(1 * mib, 4 * mib, 999ms);
    EXPECT_EQ(terminal.str(), "");

    line.show(2 * mib, 4 * mib, 1001ms);
    line.show(2 * mib + 100, 4 * mib, 1500ms); // still 50%: not written again
    line.show(3 * mib, 4 * mib, 2s);
    line.finish();
    line.finish();
    EXPECT_EQ(terminal.str(), "\r\x1b[Kvortan-render: writing cq.wav: 50% (2 of 4 MiB)"
                              "\r\x1b[Kvortan-render: writing cq.wav: 75% (3 of 4 MiB)"
                              "\r\x1b[K");

    std::ostringstream quiet;
    ProgressLine quick(quiet, "-");
    quick.show(4 * mib, 4 * mib, 10ms);
    quick.finish(); // nothing shown, nothing to wipe
    EXPECT_EQ(quiet.str(), "");
}
