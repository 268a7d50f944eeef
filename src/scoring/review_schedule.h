// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vortan {

// A character's results on one day it was sent (local calendar).
struct CharacterDay {
    std::int64_t day = 0; // days since 1970-01-01
    int sent = 0;
    int correct = 0;

    bool operator==(const CharacterDay&) const = default;
};

// The review rule. A day on which a character reaches the threshold holds it: the interval to
// its next review doubles (1, 2, 4, 8, 16, then 32 days at most). A day below the threshold
// brings it back the next day (interval 1). The character is due on its last day plus the
// interval, and stays due until it is practised.
inline constexpr int kLongestReviewIntervalDays = 32;

// The last days that decide the interval: six held days reach the longest one from any start,
// and a day below the threshold forgets the days before it. The history reads only these.
inline constexpr int kReviewDaysThatCount = 6;

struct ReviewState {
    unsigned char character = 0;
    std::int64_t lastDay = 0;
    int intervalDays = 0;
    std::int64_t dueDay = 0;

    bool operator==(const ReviewState&) const = default;
};

// The state after the days given (oldest first, at least one).
ReviewState reviewState(unsigned char character, const std::vector<CharacterDay>& days,
                        int thresholdPercent);

// The characters due on `today` (dueDay at or before it), the longest overdue first, then in
// byte order.
std::string dueCharacters(const std::vector<ReviewState>& states, std::int64_t today);

} // namespace vortan
