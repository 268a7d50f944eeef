// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/review_schedule.h"

#include <algorithm>

namespace vortan {

ReviewState reviewState(unsigned char character, const std::vector<CharacterDay>& days,
                        int thresholdPercent)
{
    ReviewState state{character, 0, 0, 0};
    for (const CharacterDay& day : days) {
        const bool held = day.sent > 0 && day.correct * 100LL >= 1LL * thresholdPercent * day.sent;
        state.intervalDays =
            held ? std::min(kLongestReviewIntervalDays, std::max(1, 2 * state.intervalDays)) : 1;
        state.lastDay = day.day;
    }
    state.dueDay = state.lastDay + state.intervalDays;
    return state;
}

std::string dueCharacters(const std::vector<ReviewState>& states, std::int64_t today)
{
    std::vector<ReviewState> due;
    std::copy_if(states.begin(), states.end(), std::back_inserter(due),
                 [today](const ReviewState& state) { return state.dueDay <= today; });
    std::sort(due.begin(), due.end(), [](const ReviewState& a, const ReviewState& b) {
        return a.dueDay != b.dueDay ? a.dueDay < b.dueDay : a.character < b.character;
    });
    std::string characters;
    for (const ReviewState& state : due)
        characters.push_back(static_cast<char>(state.character));
    return characters;
}

} // namespace vortan
