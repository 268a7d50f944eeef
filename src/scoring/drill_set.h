// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/progress_statistics.h"
#include "scoring/recognition_statistics.h"

#include <string>
#include <string_view>

namespace vortan {

inline constexpr std::size_t kMaxDrillSetLength = 255; // what Random counts of a set

// A set for Random that drills the current one's weak characters: each character of the set
// that sounds (once, in small letters, in the set's order) repeated as often as its recent
// error rate says, so Random draws it that much more often. The rate is taken as
// (errors + 1) / (samples + 2): a character with few samples counts as weak until shown
// otherwise. The best character occurs once and every other in proportion, each at least once,
// all together at most 255. Characters due for review (dueCharacters()) join the set after its
// own and count as weak as a character never sampled, unless their rate says weaker. A character
// slow to recognise (a known median recognition time) comes as much more often as its median is
// longer than the fastest character's. Empty when neither has a character that sounds.
std::string drillSet(std::string_view currentSet, const RecentAccuracy& recent,
                     std::string_view dueCharacters = {},
                     const RecentRecognition& recognition = {});

// The characters a drill of the set is made of: those that sound, once each, in small letters,
// in the set's order. What the recent samples are needed for.
std::string drillCharacters(std::string_view currentSet);

// The set a check on this set counts for: the entry of the progression that a drill drills
// (a set of that entry's characters in its order, some repeated), else the set itself.
std::string drilledSet(std::string_view characterSet);

} // namespace vortan
