// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/review_schedule.h"

#include <gtest/gtest.h>

using namespace vortan;

TEST(ReviewSchedule, IntervalsGrowWhileHeldAndRestartWhenMissed)
{
    struct Row {
        const char* name;
        std::vector<CharacterDay> days; // oldest first
        int interval;
        std::int64_t due;
    };
    const Row rows[] = {
        {"one day held", {{100, 20, 18}}, 1, 101},
        {"one day below", {{100, 20, 17}}, 1, 101},
        {"held on three days", {{100, 20, 20}, {101, 10, 9}, {103, 30, 29}}, 4, 107},
        {"held for long: 32 days at most",
         {{1, 9, 9}, {2, 9, 9}, {4, 9, 9}, {8, 9, 9}, {16, 9, 9}, {32, 9, 9}, {64, 9, 9}},
         32,
         96},
        {"a day below starts again", {{100, 20, 20}, {101, 20, 20}, {103, 20, 10}}, 1, 104},
        {"held after a miss", {{100, 20, 10}, {101, 20, 19}}, 2, 103},
    };
    for (const Row& row : rows) {
        const ReviewState state = reviewState('g', row.days, 90);
        EXPECT_EQ(state.intervalDays, row.interval) << row.name;
        EXPECT_EQ(state.dueDay, row.due) << row.name;
        EXPECT_EQ(state.lastDay, row.days.back().day) << row.name;
    }
}

TEST(ReviewSchedule, LastDaysDecideAsAllDaysDo)
{
    // The history reads only the last kReviewDaysThatCount days of a character.
    std::vector<CharacterDay> days;
    for (int day = 0; day < 40; ++day)
        days.push_back({day * 3, 10, day % 7 == 0 ? 5 : 10});
    for (std::size_t end = 1; end <= days.size(); ++end) {
        const std::vector<CharacterDay> all(days.begin(), days.begin() + long(end));
        const std::size_t first = end > kReviewDaysThatCount ? end - kReviewDaysThatCount : 0;
        const std::vector<CharacterDay> last(days.begin() + long(first), days.begin() + long(end));
        EXPECT_EQ(reviewState('a', all, 90), reviewState('a', last, 90)) << end;
    }
}

TEST(ReviewSchedule, DueTodayLongestOverdueFirst)
{
    const std::vector<ReviewState> states{{'a', 90, 8, 98},
                                          {'g', 99, 1, 100},
                                          {'j', 95, 2, 97},
                                          {'k', 99, 1, 100},
                                          {'n', 99, 2, 101}};
    EXPECT_EQ(dueCharacters(states, 100), "jagk");
    EXPECT_EQ(dueCharacters(states, 96), "");
}
