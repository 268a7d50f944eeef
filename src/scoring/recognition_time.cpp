// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/recognition_time.h"

#include "scoring/compared_texts.h"
#include "synthesis/keying.h"

#include <algorithm>
#include <map>
#include <utility>

namespace vortan {

namespace {

std::size_t letterCount(std::string_view compared)
{
    return compared.size() -
           static_cast<std::size_t>(std::count(compared.begin(), compared.end(), kGroupSeparator));
}

// The byte index of every letter of `text` (as `isLetter` tells), keeping the last `count`: the
// compared texts only ever drop letters at the front (the lead-in).
template <typename IsLetter>
std::vector<std::size_t> lastLetters(std::string_view text, std::size_t count, IsLetter isLetter)
{
    std::vector<std::size_t> letters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isLetter(static_cast<unsigned char>(text[i])))
            letters.push_back(i);
    }
    if (letters.size() > count)
        letters.erase(letters.begin(), letters.end() - static_cast<std::ptrdiff_t>(count));
    return letters;
}

bool isCopiedLetter(unsigned char byte)
{
    return !isCopyBlank(byte);
}

std::int64_t millisecondsOf(std::int64_t samples)
{
    return samples * 1000 / sampleRateHz;
}

} // namespace

std::vector<std::optional<RecognitionTime>>
recognitionTimes(const CopyScore& score, std::string_view renderedText, std::string_view copy,
                 const std::vector<CharacterSound>& sounds, const KeystrokeFrames& keyFrames,
                 int reactionMs)
{
    std::vector<std::optional<RecognitionTime>> times(score.characters.size());
    const ComparedTexts compared = comparedTexts(renderedText, copy);
    const std::vector<std::size_t> sentBytes =
        lastLetters(renderedText, letterCount(compared.sent), isHeardLetter);
    const std::vector<std::size_t> copyBytes =
        lastLetters(copy, letterCount(compared.copy), isCopiedLetter);

    // The typed letters of each copied group, in the copy's order, are its characters in the
    // score's order: only whole groups move.
    std::map<int, std::size_t> typedInGroup;
    std::vector<std::size_t> groupStart;
    for (std::size_t i = 0, letter = 0; i < compared.copy.size(); ++i) {
        if (i == 0 || compared.copy[i - 1] == kGroupSeparator)
            groupStart.push_back(letter);
        if (compared.copy[i] != kGroupSeparator)
            ++letter;
    }

    std::size_t sentLetter = 0;
    for (std::size_t c = 0; c < score.characters.size(); ++c) {
        const ScoredCharacter& character = score.characters[c];
        std::optional<std::size_t> sentByte;
        if (character.sent != 0) {
            if (sentLetter < sentBytes.size())
                sentByte = sentBytes[sentLetter];
            ++sentLetter;
        }
        std::optional<std::size_t> copyByte;
        if (character.typed != 0 && character.copyGroup >= 0 &&
            static_cast<std::size_t>(character.copyGroup) < groupStart.size()) {
            const std::size_t letter = groupStart[static_cast<std::size_t>(character.copyGroup)] +
                                       typedInGroup[character.copyGroup]++;
            if (letter < copyBytes.size())
                copyByte = copyBytes[letter];
        }
        if (character.outcome != Outcome::Correct || !sentByte || !copyByte ||
            *sentByte >= sounds.size() || *copyByte >= keyFrames.size() || !keyFrames[*copyByte])
            continue;
        const std::int64_t afterEnd = *keyFrames[*copyByte] - sounds[*sentByte].endSample;
        if (afterEnd < 0) {
            times[c] = RecognitionTime{0, true};
            continue;
        }
        const std::int64_t ms = millisecondsOf(afterEnd) - reactionMs;
        times[c] =
            RecognitionTime{static_cast<int>(std::clamp<std::int64_t>(ms, 0, 1'000'000)), false};
    }
    return times;
}

std::optional<int> medianRecognitionMs(const std::vector<std::optional<RecognitionTime>>& times)
{
    std::vector<int> values;
    for (const std::optional<RecognitionTime>& time : times) {
        if (time)
            values.push_back(time->milliseconds);
    }
    return lowerMedian(std::move(values));
}

std::optional<int> lowerMedian(std::vector<int> values)
{
    if (values.empty())
        return std::nullopt;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>((values.size() - 1) / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

} // namespace vortan
