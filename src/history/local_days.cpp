// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/local_days.h"

#include <QDate>
#include <QDateTime>

namespace vortan {

namespace {

const QDate kEpochDay(1970, 1, 1);

} // namespace

std::int64_t localDay(std::int64_t ms)
{
    return kEpochDay.daysTo(QDateTime::fromMSecsSinceEpoch(ms).date());
}

std::int64_t localDayStartMs(std::int64_t day)
{
    return kEpochDay.addDays(day).startOfDay().toMSecsSinceEpoch();
}

} // namespace vortan
