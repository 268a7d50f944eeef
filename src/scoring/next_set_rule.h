// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/copy_score.h"
#include "scoring/progress_statistics.h"
#include "scoring/recognition_statistics.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vortan {

inline constexpr int kDefaultAdvanceThresholdPercent = 90;
// The thresholds a learner can choose, and that the history keeps.
inline constexpr int kMinimumAdvanceThresholdPercent = 1;
inline constexpr int kMaximumAdvanceThresholdPercent = 100;
inline constexpr int kAdvanceMinimumSamples = 20;
// The speed target a learner can set beside the threshold: off until set. 500 ms, with the
// reaction time taken off, is a little less than a character lasts with its gap at 20 words
// per minute (about 0.6 to 0.8 s): who recognises each new character that fast keeps up with
// the sound at that speed instead of falling behind it.
inline constexpr int kDefaultAdvanceTargetMs = 500;
inline constexpr int kMinimumAdvanceTargetMs = 100;
inline constexpr int kMaximumAdvanceTargetMs = 3000;

// After a check on a set of the progression (the box's text equal to one of its entries): the
// index of the next entry, when the check reaches the threshold and every character the set
// added over the entry before it reaches it too over at least 20 of its recent samples. A new
// character is a small share of a long set, so the total alone could pass while it fails.
// Nothing for the last entry, for any other text, or when not earned. With a speed target,
// every character the set added also needs a known median recognition time under it.
std::optional<std::size_t> nextSetOffer(std::string_view characterSet, const CopyScore& check,
                                        const RecentAccuracy& recent, int thresholdPercent,
                                        const RecentRecognition& recognition = {},
                                        std::optional<int> targetMs = std::nullopt);

} // namespace vortan
