// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/wording.h"
#include "scoring/progress_statistics.h"
#include "scoring/recognition_statistics.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortan {

// A character's recent samples below the threshold count as weak only with at least this many:
// two misses out of three say little.
inline constexpr int kAdviceMinimumSamples = 10;
inline constexpr std::size_t kMostWeakCharactersNamed = 3;

// What the practice advice is made from.
struct PracticeFigures {
    std::vector<CharacterStatistics> characters; // of the set practised, weakest first
    std::string_view characterSet;               // the set practised (windows-1250)
    RecentAccuracy recent{};                     // over all checks, as the next-set rule takes it
    std::string dueCharacters;                   // due for review today, in reviewOrder
    int thresholdPercent = 90;
    RecentRecognition recognition{}; // over all checks typed along
    std::optional<int> targetMs{};   // the next set's speed target, none when off
};

// Per cent of a character's recent samples right, rounded down; 0 without samples.
int wholePercent(const RecentSamples& samples);

// The weakest characters with what they are written as, e.g. "Practise g: 48 % over the last
// 50, written as j 18 times." At most kMostWeakCharactersNamed, those below the threshold with
// kAdviceMinimumSamples or more; "" when there are none.
std::string weakCharactersSentence(const PracticeFigures& figures,
                                   const Wording& wording = englishWording());

// The characters of the set practised slowest to recognise, e.g. "Slowest to recognise: g
// (620 ms), j (540 ms)." At most kMostWeakCharactersNamed, those with a known median; "" when
// none has one.
std::string slowCharactersSentence(const PracticeFigures& figures,
                                   const Wording& wording = englishWording());

// What the speed target still asks of the characters the set added, e.g. "The next set also
// asks n and o to be recognised within 500 ms (n: now 620 ms; o: not timed yet)." "" without a
// target, for a set not in the progression or its last, or when every one is fast enough.
std::string speedTargetSentence(const PracticeFigures& figures,
                                const Wording& wording = englishWording());

// How near the next set of the progression is, e.g. "A check at 90 % with j at 90 % (j: now
// 84 %, about 4 more right) will offer the next set, abstgjn, which adds n." "" for a set that is
// not in the progression or is its last.
std::string nextSetSentence(const PracticeFigures& figures,
                            const Wording& wording = englishWording());

// "Due for review today: g, j." or "".
std::string dueSentence(const PracticeFigures& figures, const Wording& wording = englishWording());

// The sentences above that have something to say, separated by spaces (UTF-8, in the wording's
// language): the weak characters, or that none is weak; the slow ones; what is due; the next
// set and what its speed target still asks. Without
// samples: how to begin. The Progress and Check copy windows both say it.
std::string practiceAdvice(const PracticeFigures& figures,
                           const Wording& wording = englishWording());

// How many more right samples in a row would bring a character's recent window to the
// threshold and `minimum` samples, the window taken as growing (its oldest samples are not
// known, so the estimate does not drop them); 0 when it reaches it already.
int moreRightNeeded(const RecentSamples& samples, int thresholdPercent, int minimum);

} // namespace vortan
