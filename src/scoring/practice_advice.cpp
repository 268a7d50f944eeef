// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/practice_advice.h"

#include "base/windows1250.h"
#include "scoring/next_set_rule.h"
#include "settings/character_sets.h"

#include <algorithm>

namespace vortan {

int wholePercent(const RecentSamples& samples)
{
    return samples.samples == 0 ? 0 : samples.correct * 100 / samples.samples;
}

namespace {

std::string number(long long value)
{
    return std::to_string(value);
}

std::string letter(char c)
{
    return windows1250::toUtf8(std::string_view(&c, 1));
}

// "a, b and c"
std::string listed(const std::vector<std::string>& items, const Wording& wording)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += i + 1 == items.size() ? wording.translate("vortan::PracticeAdvice", " and ")
                                          : std::string(", ");
        text += items[i];
    }
    return text;
}

std::string joined(const std::vector<std::string>& items, std::string_view separator)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? std::string() : std::string(separator)) + items[i];
    return text;
}

} // namespace

int moreRightNeeded(const RecentSamples& samples, int thresholdPercent, int minimum)
{
    // The least r with (correct + r) * 100 >= threshold * (samples + r), and samples + r >=
    // minimum. A threshold of 100 needs every sample right: no count of new ones reaches it
    // while a wrong one stays in the window, so the window's size is the bound then.
    const long long wrongPart = 1LL * thresholdPercent * samples.samples - 100LL * samples.correct;
    long long needed = 0;
    if (wrongPart > 0) {
        needed = thresholdPercent >= 100
                     ? kRecentWindow
                     : (wrongPart + (100 - thresholdPercent) - 1) / (100 - thresholdPercent);
    }
    needed = std::max<long long>(needed, minimum - samples.samples);
    return static_cast<int>(std::min<long long>(needed, kRecentWindow));
}

std::string weakCharactersSentence(const PracticeFigures& figures, const Wording& wording)
{
    std::vector<std::string> parts;
    for (const CharacterStatistics& each : figures.characters) {
        if (parts.size() == kMostWeakCharactersNamed)
            break;
        const RecentSamples& recent = each.recent;
        if (recent.samples < kAdviceMinimumSamples ||
            recent.reaches(figures.thresholdPercent, kAdviceMinimumSamples))
            continue;
        std::string part =
            withArguments(wording.translate("vortan::PracticeAdvice", "%1: %2 % over the last %3"),
                          {letter(static_cast<char>(each.character)), number(wholePercent(recent)),
                           number(recent.samples)});
        if (each.recentWrittenAsCount > 0) {
            part += withArguments(
                each.recentWrittenAsCount == 1
                    ? wording.translate("vortan::PracticeAdvice", ", written as %1 1 time")
                    : wording.translate("vortan::PracticeAdvice", ", written as %1 %n times",
                                        nullptr, each.recentWrittenAsCount),
                {letter(static_cast<char>(each.recentWrittenAs))});
        }
        parts.push_back(std::move(part));
    }
    if (parts.empty())
        return {};
    return withArguments(wording.translate("vortan::PracticeAdvice", "Practise %1."),
                         {joined(parts, "; ")});
}

std::string slowCharactersSentence(const PracticeFigures& figures, const Wording& wording)
{
    std::vector<std::string> parts;
    for (const unsigned char c :
         slowestCharacters(figures.characterSet, figures.recognition, kMostWeakCharactersNamed)) {
        parts.push_back(
            withArguments(wording.translate("vortan::PracticeAdvice", "%1 (%2 ms)"),
                          {letter(static_cast<char>(c)), number(figures.recognition[c].medianMs)}));
    }
    if (parts.empty())
        return {};
    return withArguments(wording.translate("vortan::PracticeAdvice", "Slowest to recognise: %1."),
                         {joined(parts, ", ")});
}

std::string speedTargetSentence(const PracticeFigures& figures, const Wording& wording)
{
    const std::optional<std::size_t> index = progressionSetIndex(figures.characterSet);
    if (!figures.targetMs || !index || *index + 1 >= kCharacterSets.size())
        return {};
    std::vector<std::string> slow;
    std::vector<std::string> now;
    for (const char c : addedCharacters(*index)) {
        const CharacterRecognition& time = figures.recognition[static_cast<unsigned char>(c)];
        if (time.within(*figures.targetMs))
            continue;
        slow.push_back(letter(c));
        now.push_back(time.known() ? withArguments(wording.translate("vortan::PracticeAdvice",
                                                                     "%1: now %2 ms"),
                                                   {letter(c), number(time.medianMs)})
                                   : withArguments(wording.translate("vortan::PracticeAdvice",
                                                                     "%1: not timed enough yet"),
                                                   {letter(c)}));
    }
    if (slow.empty())
        return {};
    return withArguments(wording.translate("vortan::PracticeAdvice",
                                           "The next set also asks %1 to be recognised within "
                                           "%2 ms (%3)."),
                         {listed(slow, wording), number(*figures.targetMs), joined(now, "; ")});
}

std::string nextSetSentence(const PracticeFigures& figures, const Wording& wording)
{
    const std::optional<std::size_t> index = progressionSetIndex(figures.characterSet);
    if (!index || *index + 1 >= kCharacterSets.size())
        return {};
    const std::string threshold = number(figures.thresholdPercent);
    std::vector<std::string> lacking;
    std::vector<std::string> now;
    for (const char c : addedCharacters(*index)) {
        const RecentSamples& samples = figures.recent[static_cast<unsigned char>(c)];
        if (samples.reaches(figures.thresholdPercent, kAdvanceMinimumSamples))
            continue;
        lacking.push_back(letter(c));
        const std::string more =
            number(moreRightNeeded(samples, figures.thresholdPercent, kAdvanceMinimumSamples));
        now.push_back(
            samples.samples == 0
                ? withArguments(wording.translate("vortan::PracticeAdvice",
                                                  "%1: not sent yet, about %2 more right"),
                                {letter(c), more})
                : withArguments(wording.translate("vortan::PracticeAdvice",
                                                  "%1: now %2 %, about %3 more right"),
                                {letter(c), number(wholePercent(samples)), more}));
    }
    const std::string next = windows1250::toUtf8(kCharacterSets[*index + 1]);
    const std::string added = windows1250::toUtf8(addedCharacters(*index + 1));
    if (lacking.empty()) {
        return withArguments(
            wording.translate("vortan::PracticeAdvice",
                              "A check at %1 % will offer the next set, %2, which adds %3."),
            {threshold, next, added});
    }
    return withArguments(wording.translate("vortan::PracticeAdvice",
                                           "A check at %1 % with %2 at %1 % (%3) will offer the "
                                           "next set, %4, which adds %5."),
                         {threshold, listed(lacking, wording), joined(now, "; "), next, added});
}

std::string dueSentence(const PracticeFigures& figures, const Wording& wording)
{
    if (figures.dueCharacters.empty())
        return {};
    std::vector<std::string> characters;
    for (const char c : figures.dueCharacters)
        characters.push_back(letter(c));
    return withArguments(wording.translate("vortan::PracticeAdvice", "Due for review today: %1."),
                         {joined(characters, ", ")});
}

std::string practiceAdvice(const PracticeFigures& figures, const Wording& wording)
{
    const bool sampled =
        std::any_of(figures.characters.begin(), figures.characters.end(),
                    [](const CharacterStatistics& c) { return c.recent.samples > 0; });
    if (!sampled)
        return wording.translate("vortan::PracticeAdvice",
                                 "Check a copy and this says what to practise.");
    std::string advice = weakCharactersSentence(figures, wording);
    if (advice.empty()) {
        advice = withArguments(
            wording.translate("vortan::PracticeAdvice",
                              "No character with %1 or more recent samples is below %2 %."),
            {number(kAdviceMinimumSamples), number(figures.thresholdPercent)});
    }
    for (const std::string& sentence :
         {slowCharactersSentence(figures, wording), dueSentence(figures, wording),
          nextSetSentence(figures, wording), speedTargetSentence(figures, wording)}) {
        if (!sentence.empty())
            advice += " " + sentence;
    }
    return advice;
}

} // namespace vortan
