// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/drill_set.h"

#include "scoring/compared_texts.h"
#include "settings/character_sets.h"
#include "synthesis/morse_code.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace vortan {

namespace {

struct Weighted {
    char character;
    double weight; // error rate relative to the best character's
};

std::size_t repetitions(double weight, double scale)
{
    return std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(weight * scale)));
}

std::size_t totalLength(const std::vector<Weighted>& characters, double scale)
{
    std::size_t total = 0;
    for (const Weighted& each : characters)
        total += repetitions(each.weight, scale);
    return total;
}

} // namespace

std::string drillCharacters(std::string_view currentSet)
{
    std::string characters;
    std::array<bool, 256> seen{};
    for (const char c : currentSet) {
        const unsigned char byte = foldCase(static_cast<unsigned char>(c));
        if (seen[byte] || byte == ' ' || byte == '\r' || patternFor(byte).empty())
            continue;
        seen[byte] = true;
        characters.push_back(static_cast<char>(byte));
    }
    return characters;
}

std::string drilledSet(std::string_view characterSet)
{
    if (progressionSetIndex(characterSet))
        return std::string(characterSet);
    const std::string characters = drillCharacters(characterSet);
    for (std::size_t index = kFirstProgressionSet; index < kCharacterSets.size(); ++index) {
        if (drillCharacters(kCharacterSets[index]) == characters)
            return std::string(kCharacterSets[index]);
    }
    return std::string(characterSet);
}

std::string drillSet(std::string_view currentSet, const RecentAccuracy& recent,
                     std::string_view dueCharacters, const RecentRecognition& recognition)
{
    const std::string due = drillCharacters(dueCharacters);
    std::vector<Weighted> characters;
    for (const char c : drillCharacters(std::string(currentSet) + due)) {
        const RecentSamples& samples = recent[static_cast<unsigned char>(c)];
        double errorRate = (samples.samples - samples.correct + 1.0) / (samples.samples + 2.0);
        if (due.find(c) != std::string::npos)
            errorRate = std::max(errorRate, 0.5); // as (0 + 1) / (0 + 2), never sampled
        characters.push_back({c, errorRate});
    }
    if (characters.empty())
        return {};
    const double best =
        std::min_element(characters.begin(), characters.end(),
                         [](const Weighted& a, const Weighted& b) { return a.weight < b.weight; })
            ->weight;
    for (Weighted& each : characters)
        each.weight /= best;
    // Slowness weighs as weakness does: relative to the fastest character. A floor keeps
    // anticipated characters (0 ms) from making every other one look endlessly slow.
    const auto knownMs = [&recognition](char c) -> std::optional<double> {
        const CharacterRecognition& time = recognition[static_cast<unsigned char>(c)];
        return time.known() ? std::optional(std::max(50.0, double(time.medianMs))) : std::nullopt;
    };
    std::optional<double> fastestMs;
    for (const Weighted& each : characters) {
        if (const auto ms = knownMs(each.character))
            fastestMs = std::min(fastestMs.value_or(*ms), *ms);
    }
    for (Weighted& each : characters) {
        if (const auto ms = knownMs(each.character))
            each.weight *= *ms / *fastestMs;
    }

    // The largest scale up to 1 (the best character once) that keeps the set within 255.
    double scale = 1.0;
    if (totalLength(characters, scale) > kMaxDrillSetLength) {
        double low = 0.0;
        for (int step = 0; step < 40; ++step) {
            const double middle = (low + scale) / 2;
            (totalLength(characters, middle) <= kMaxDrillSetLength ? low : scale) = middle;
        }
        scale = low;
    }
    std::string drill;
    for (const Weighted& each : characters)
        drill.append(repetitions(each.weight, scale), each.character);
    return drill;
}

} // namespace vortan
