// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace vortan {

// The calendar day in local time of a moment (ms since the Unix epoch), as days since
// 1970-01-01: how the history and the progress view count days.
std::int64_t localDay(std::int64_t ms);

// The moment (ms since the Unix epoch) a day (days since 1970-01-01) begins in local time.
std::int64_t localDayStartMs(std::int64_t day);

} // namespace vortan
