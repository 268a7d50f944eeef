// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/check_rules.h"

#include "scoring/next_set_rule.h"
#include "settings/character_sets.h"

namespace vortan {

CheckKeeping CheckRules::check(const CopyScore& score, bool unkeptWaiting)
{
    const bool first = !m_checked;
    m_checked = true;
    if (score.sentCount == 0)
        return CheckKeeping::NothingToKeep;
    if (!first)
        return CheckKeeping::CheckedAgain;
    return unkeptWaiting ? CheckKeeping::KeepAfterUnkept : CheckKeeping::KeepNow;
}

std::optional<std::string_view> CheckRules::nextSetCharacters(std::string_view characterSet)
{
    const std::optional<std::size_t> index = progressionSetIndex(characterSet);
    if (!index || *index + 1 >= kCharacterSets.size())
        return std::nullopt;
    return addedCharacters(*index);
}

std::optional<NextSetChoice> CheckRules::nextSet(const CopyCheck& check,
                                                 const NextSetFigures& figures)
{
    const std::optional<std::size_t> offer =
        nextSetOffer(check.sent.characterSet, check.score, figures.recent, figures.thresholdPercent,
                     figures.recognition, figures.targetMs);
    if (!offer)
        return std::nullopt;
    return NextSetChoice{*offer, kCharacterSets[*offer], addedCharacters(*offer)};
}

} // namespace vortan
