// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/check_history.h"
#include "scoring/practice_advice.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vortan {

// The figures the advice on a set (windows-1250; all sets when empty) is made from, from the
// history. `today`: days since 1970-01-01, local. Throws vortan::Error as the history does.
PracticeFigures practiceFiguresFor(CheckHistory& history, std::string_view characterSet,
                                   std::int64_t today);

// That advice in English, as practiceAdvice() words it (UTF-8).
std::string practiceAdviceFor(CheckHistory& history, std::string_view characterSet,
                              std::int64_t today);

// The characters due for review on `today`, as dueCharacters() orders them.
std::string dueToday(CheckHistory& history, std::int64_t today);

} // namespace vortan
