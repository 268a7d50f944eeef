// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/practice_advice_reader.h"

#include "scoring/practice_advice.h"
#include "settings/character_sets.h"

namespace vortan {

std::string dueToday(CheckHistory& history, std::int64_t today)
{
    return dueCharacters(history.reviewStates(history.advanceThresholdPercent()), today);
}

PracticeFigures practiceFiguresFor(CheckHistory& history, std::string_view characterSet,
                                   std::int64_t today)
{
    PracticeFigures figures;
    figures.characterSet = characterSet;
    figures.thresholdPercent = history.advanceThresholdPercent();
    ProgressFilter filter;
    if (!characterSet.empty())
        filter.characterSet = std::string(characterSet);
    figures.characters = history.progress(filter).characters;
    if (const auto index = progressionSetIndex(characterSet))
        figures.recent = history.recentAccuracy(addedCharacters(*index));
    figures.dueCharacters = dueToday(history, today);
    figures.recognition = history.recentRecognition();
    figures.targetMs = history.advanceTargetMs();
    return figures;
}

std::string practiceAdviceFor(CheckHistory& history, std::string_view characterSet,
                              std::int64_t today)
{
    return practiceAdvice(practiceFiguresFor(history, characterSet, today));
}

} // namespace vortan
