// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/sound_timing.h"

#include "synthesis/keying.h"
#include "synthesis/morse_code.h"
#include "synthesis/random_generator.h"

#include <algorithm>
#include <array>

namespace vortan {

std::vector<CharacterSound> characterSounds(const SentExercise& sent)
{
    const SynthesisSettings& settings = sent.settings;
    const int dotlen = dotLength(settings.speed);
    const int dashlen = 3 * dotlen;
    // The sample pass draws only the jitter, one real per element, from the sample seed.
    RandomGenerator random;
    random.setSeed(sent.seed);

    std::vector<CharacterSound> sounds;
    sounds.reserve(sent.text.size());
    std::int64_t position = 0;
    std::array<Segment, 2> segments;
    for (const char byte : sent.text) {
        CharacterSound sound{position, position};
        bool toned = false;
        for (const char symbol : characterPattern(static_cast<unsigned char>(byte))) {
            const int count = keysymbol(symbol, dotlen, dashlen, settings.spaces, settings.straight,
                                        random, segments);
            for (int i = 0; i < count; ++i) {
                if (segments[i].kind == SegmentKind::Tone) {
                    if (!toned)
                        sound.beginSample = position;
                    toned = true;
                    sound.endSample = position + segments[i].sampleCount;
                }
                position += segments[i].sampleCount;
            }
        }
        if (!toned)
            sound.endSample = sound.beginSample;
        sounds.push_back(sound);
    }
    return sounds;
}

std::optional<std::size_t> lastBegunCharacter(const std::vector<CharacterSound>& sounds,
                                              std::int64_t heardSample)
{
    // Begins only grow along the text, so the first character not yet begun bounds the search.
    const auto notBegun = std::upper_bound(
        sounds.begin(), sounds.end(), heardSample,
        [](std::int64_t heard, const CharacterSound& sound) { return heard < sound.beginSample; });
    for (auto it = notBegun; it != sounds.begin();) {
        --it;
        if (it->sounds())
            return static_cast<std::size_t>(it - sounds.begin());
    }
    return std::nullopt;
}

} // namespace vortan
