// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/progress_over_time.h"

namespace vortan {

std::int64_t weekStart(std::int64_t day)
{
    // 1970-01-01 was a Thursday: three days after a Monday. The modulo stays positive for days
    // before 1970 too.
    return day - ((day + 3) % 7 + 7) % 7;
}

std::vector<PeriodPoint> pointsOverTime(const std::vector<DayPoint>& days)
{
    std::vector<PeriodPoint> points;
    if (days.empty())
        return points;
    const bool weeks = days.back().day - days.front().day + 1 > kMostDaysShownAsDays;
    for (const DayPoint& day : days) {
        const std::int64_t first = weeks ? weekStart(day.day) : day.day;
        if (points.empty() || points.back().firstDay != first)
            points.push_back({first, weeks ? 7 : 1, 0, 0, 0});
        PeriodPoint& point = points.back();
        point.checks += day.checks;
        point.sentCount += day.sentCount;
        point.correct += day.correct;
    }
    return points;
}

} // namespace vortan
