// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/progress_over_time.h"

#include <gtest/gtest.h>

using namespace vortan;

TEST(ProgressOverTime, WeeksStartOnMonday)
{
    // 1970-01-01 (day 0) was a Thursday, 1970-01-05 (day 4) a Monday.
    const std::pair<std::int64_t, std::int64_t> rows[] = {
        {0, -3}, {3, -3}, {4, 4}, {10, 4}, {11, 11}, {-1, -3}, {-4, -10}, {20'433, 20'430},
    };
    for (const auto& [day, monday] : rows)
        EXPECT_EQ(weekStart(day), monday) << day;
}

TEST(ProgressOverTime, DaysUntilThreeMonthsThenWeeks)
{
    struct Row {
        const char* name;
        std::vector<DayPoint> days;
        std::vector<PeriodPoint> points;
    };
    const Row rows[] = {
        {"nothing", {}, {}},
        {"a day with several checks is one point", {{100, 3, 90, 81}}, {{100, 1, 3, 90, 81}}},
        {"days with gaps stay days within 92 days",
         {{100, 1, 30, 27}, {105, 2, 60, 50}, {191, 1, 30, 30}},
         {{100, 1, 1, 30, 27}, {105, 1, 2, 60, 50}, {191, 1, 1, 30, 30}}},
        // 93 days from first to last: weeks, Monday to Sunday (day 102 and 108 are one week).
        {"longer spans add up weeks",
         {{100, 1, 30, 27}, {102, 2, 60, 50}, {108, 1, 30, 30}, {192, 4, 120, 100}},
         {{95, 7, 1, 30, 27}, {102, 7, 3, 90, 80}, {186, 7, 4, 120, 100}}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(pointsOverTime(row.days), row.points) << row.name;
}
