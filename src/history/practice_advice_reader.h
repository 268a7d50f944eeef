// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/check_history.h"
#include "scoring/practice_advice.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vortan {

// What the learner should practise on a set (windows-1250; all sets when empty), from the
// history, as practiceAdvice() words it (windows-1250). `today`: days since 1970-01-01, local.
// Throws vortan::Error as the history does.
// The figures that advice is made from. Throws vortan::Error as the history does.
PracticeFigures practiceFiguresFor(CheckHistory& history, std::string_view characterSet,
                                   std::int64_t today);

std::string practiceAdviceFor(CheckHistory& history, std::string_view characterSet,
                              std::int64_t today);

// The characters due for review on `today`, as dueCharacters() orders them.
std::string dueToday(CheckHistory& history, std::int64_t today);

} // namespace vortan
