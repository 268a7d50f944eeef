// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/next_set_rule.h"

#include "settings/character_sets.h"

#include <algorithm>

namespace vortan {

std::optional<std::size_t> nextSetOffer(std::string_view characterSet, const CopyScore& check,
                                        const RecentAccuracy& recent, int thresholdPercent,
                                        const RecentRecognition& recognition,
                                        std::optional<int> targetMs)
{
    const std::optional<std::size_t> index = progressionSetIndex(characterSet);
    if (!index || *index + 1 >= kCharacterSets.size() || !check.reaches(thresholdPercent))
        return std::nullopt;
    const std::string_view added = addedCharacters(*index);
    const bool earned = std::all_of(added.begin(), added.end(), [&](char c) {
        const auto byte = static_cast<unsigned char>(c);
        const bool fastEnough = !targetMs || recognition[byte].within(*targetMs);
        return fastEnough && recent[byte].reaches(thresholdPercent, kAdvanceMinimumSamples);
    });
    return earned ? std::optional(*index + 1) : std::nullopt;
}

} // namespace vortan
