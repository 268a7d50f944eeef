// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/practice_advice.h"

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

// "a, b and c"
std::string listed(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += i + 1 == items.size() ? " and " : ", ";
        text += items[i];
    }
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

std::string weakCharactersSentence(const PracticeFigures& figures)
{
    std::vector<std::string> parts;
    for (const CharacterStatistics& each : figures.characters) {
        if (parts.size() == kMostWeakCharactersNamed)
            break;
        const RecentSamples& recent = each.recent;
        if (recent.samples < kAdviceMinimumSamples ||
            recent.reaches(figures.thresholdPercent, kAdviceMinimumSamples))
            continue;
        std::string part = std::string(1, static_cast<char>(each.character)) + ": " +
                           number(wholePercent(recent)) + " % over the last " +
                           number(recent.samples);
        if (each.recentWrittenAsCount > 0)
            part += ", written as " + std::string(1, static_cast<char>(each.recentWrittenAs)) +
                    " " + number(each.recentWrittenAsCount) +
                    (each.recentWrittenAsCount == 1 ? " time" : " times");
        parts.push_back(std::move(part));
    }
    if (parts.empty())
        return {};
    std::string sentence = "Practise ";
    for (std::size_t i = 0; i < parts.size(); ++i)
        sentence += (i == 0 ? "" : "; ") + parts[i];
    return sentence + ".";
}

std::string nextSetSentence(const PracticeFigures& figures)
{
    const std::optional<std::size_t> index = progressionSetIndex(figures.characterSet);
    if (!index || *index + 1 >= kCharacterSets.size())
        return {};
    const int threshold = figures.thresholdPercent;
    std::vector<std::string> lacking;
    std::vector<std::string> now;
    for (const char c : addedCharacters(*index)) {
        const RecentSamples& samples = figures.recent[static_cast<unsigned char>(c)];
        if (samples.reaches(threshold, kAdvanceMinimumSamples))
            continue;
        lacking.emplace_back(1, c);
        std::string state = std::string(1, c) + ": ";
        state +=
            samples.samples == 0 ? "not sent yet" : "now " + number(wholePercent(samples)) + " %";
        state += ", about " + number(moreRightNeeded(samples, threshold, kAdvanceMinimumSamples)) +
                 " more right";
        now.push_back(std::move(state));
    }
    const std::string at = number(threshold) + " %";
    std::string sentence = "A check at " + at;
    if (!lacking.empty()) {
        sentence += " with " + listed(lacking) + " at " + at + " (";
        for (std::size_t i = 0; i < now.size(); ++i)
            sentence += (i == 0 ? "" : "; ") + now[i];
        sentence += ")";
    }
    return sentence + " will offer the next set, " + std::string(kCharacterSets[*index + 1]) +
           ", which adds " + std::string(addedCharacters(*index + 1)) + ".";
}

std::string dueSentence(const PracticeFigures& figures)
{
    if (figures.dueCharacters.empty())
        return {};
    std::vector<std::string> characters;
    for (const char c : figures.dueCharacters)
        characters.emplace_back(1, c);
    std::string sentence = "Due for review today: ";
    for (std::size_t i = 0; i < characters.size(); ++i)
        sentence += (i == 0 ? "" : ", ") + characters[i];
    return sentence + ".";
}

std::string practiceAdvice(const PracticeFigures& figures)
{
    const bool sampled =
        std::any_of(figures.characters.begin(), figures.characters.end(),
                    [](const CharacterStatistics& c) { return c.recent.samples > 0; });
    if (!sampled)
        return "Check a copy and this says what to practise.";
    std::string advice = weakCharactersSentence(figures);
    if (advice.empty())
        advice = "No character with " + number(kAdviceMinimumSamples) +
                 " or more recent samples is below " + number(figures.thresholdPercent) + " %.";
    for (const std::string& sentence : {dueSentence(figures), nextSetSentence(figures)}) {
        if (!sentence.empty())
            advice += " " + sentence;
    }
    return advice;
}

} // namespace vortan
