// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/progress_statistics.h"

#include <cstdint>
#include <vector>

namespace vortan {

// Beyond this many days from the first check shown to the last, "Accuracy over time" shows weeks:
// about three months of days are still readable as points, years of them are not.
inline constexpr std::int64_t kMostDaysShownAsDays = 92;

// One point of "Accuracy over time": a day, or a week from Monday to Sunday.
struct PeriodPoint {
    std::int64_t firstDay = 0; // days since 1970-01-01
    int dayCount = 1;          // 1 or 7
    int checks = 0;
    int sentCount = 0;
    int correct = 0;

    bool operator==(const PeriodPoint&) const = default;
    double accuracy() const { return sentCount == 0 ? 0.0 : double(correct) / sentCount; }
};

// The days (oldest first) as points: each day as it is, or, when they span more than
// kMostDaysShownAsDays, each week that has checks, the week's days added up.
std::vector<PeriodPoint> pointsOverTime(const std::vector<DayPoint>& days);

// The Monday on or before the day (days since 1970-01-01, a Thursday).
std::int64_t weekStart(std::int64_t day);

} // namespace vortan
