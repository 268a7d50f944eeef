// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/reaction_calibration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vortan;

TEST(ReactionCalibration, BeepsComeAtRandomGapsWithinTheirRange)
{
    const std::vector<int> starts = reactionBeepStartsMs(7);
    ASSERT_EQ(starts.size(), std::size_t{kReactionBeeps});
    int previous = 0;
    for (const int start : starts) {
        EXPECT_GE(start - previous, kReactionGapMinMs);
        EXPECT_LE(start - previous, kReactionGapMaxMs);
        previous = start;
    }
    EXPECT_EQ(reactionBeepStartsMs(7), starts);
    EXPECT_NE(reactionBeepStartsMs(8), starts);
}

TEST(ReactionCalibration, EachPressAnswersTheLatestBeep)
{
    // Ten beeps a second apart, frames in milliseconds; a press is a frame, -1 for none (the
    // sound not playing).
    std::vector<std::int64_t> beeps;
    for (int beep = 1; beep <= kReactionBeeps; ++beep)
        beeps.push_back(beep * 1000);
    struct Row {
        const char* name;
        std::vector<std::int64_t> presses;
        bool soundEnds;      // told after the presses
        std::string results; // per press: c counted, b before a beep, f finished
        std::vector<int> answersMs;
        std::optional<int> medianMs;
    };
    const Row rows[] = {
        {"every beep",
         {1200, 2250, 3300, 4200, 5400, 6200, 7210, 8220, 9230, 10240},
         false,
         "cccccccccc",
         {200, 250, 300, 200, 400, 200, 210, 220, 230, 240},
         220},
        {"early presses are ignored",
         {500, 1200, 1900, 2100, -1},
         false,
         "bcbcb",
         {200, 100},
         std::nullopt},
        {"a missed beep is not timed; the next one is",
         {1200, 3300, 4100, 5100, 6100, 7100, 8100, 9100, 10100, 10500},
         false,
         "ccccccccc"
         "f",
         {200, 300, 100, 100, 100, 100, 100, 100, 100},
         100},
        {"played out with too few answers",
         {1200, 2200, 3200, 4200},
         true,
         "cccc",
         {200, 200, 200, 200},
         std::nullopt},
        {"played out with enough",
         {1300, 2300, 3100, 4200, 5200},
         true,
         "ccccc",
         {300, 300, 100, 200, 200},
         200},
    };
    for (const Row& row : rows) {
        ReactionCalibration calibration(beeps, 1000);
        std::string results;
        for (const std::int64_t frame : row.presses) {
            const ReactionPress press =
                calibration.press(frame < 0 ? std::nullopt : std::optional(frame));
            results += press == ReactionPress::Counted      ? 'c'
                       : press == ReactionPress::BeforeBeep ? 'b'
                                                            : 'f';
        }
        if (row.soundEnds)
            calibration.soundEnded();
        EXPECT_EQ(results, row.results) << row.name;
        EXPECT_EQ(calibration.answersMs(), row.answersMs) << row.name;
        EXPECT_EQ(calibration.medianMs(), row.medianMs) << row.name;
    }
}
