// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "synthesis/sent_exercise.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vortan {

// Where one character of a rendering sounds, in samples of its file's data (the first sample
// is 0): from the first sample of its first tone element to just past its last tone element.
// A character without a tone (a separator, a byte without a code) has begin == end, at the
// place it would have started.
struct CharacterSound {
    std::int64_t beginSample = 0;
    std::int64_t endSample = 0;

    bool sounds() const { return endSample > beginSample; }
    bool operator==(const CharacterSound&) const = default;
};

// One entry per byte of sent.text, in order: the timing of the rendering that sent it, keyed as
// the synthesizer keys it (the same pattern table, the same keysymbol and, for the straight-key
// jitter, the same draws from the sample seed). Band conditions change no timing.
std::vector<CharacterSound> characterSounds(const SentExercise& sent);

// The index of the last character whose sound had begun by `heardSample` (a sample of the
// file's data; negative while a lead-in plays); none when no character had begun.
std::optional<std::size_t> lastBegunCharacter(const std::vector<CharacterSound>& sounds,
                                              std::int64_t heardSample);

} // namespace vortan
