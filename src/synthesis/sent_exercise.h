// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "synthesis/synthesizer.h"

#include <cstdint>
#include <string>

namespace vortan {

// What one rendering sent, as a value: the copy check scores against it and the history keeps it,
// whatever the window shows by then. It holds all that the sound depends on: the generator at
// bufferSeed, a clock at seed, the conditions and txtofile(text, settings, riseMs) make the same
// file again, byte for byte.
struct SentExercise {
    std::string text;             // the exercise text as rendered, windows-1250 bytes
    SynthesisSettings settings;   // the five settings the rendering used
    std::uint32_t bufferSeed = 0; // the generator's seed when the noise and tone were made
    std::uint32_t seed = 0;       // the generator's seed at the start of the sample pass
    std::string characterSet;     // the `chars` of the preset in use, windows-1250 bytes
    std::int64_t sentAtMs = 0;    // when it was rendered, milliseconds since the Unix epoch
    BandConditions conditions;    // fading, other stations, static and chirp; all off by default
    int riseMs = 0;               // the soft keying's rise and fall of every tone, 0 to 10 ms
    int leadInMs = 0;             // the quiet sound Play put before it, ms; 0: none (Save WAV)
    // False for a check read from a history kept before it recorded bufferSeed, riseMs and
    // leadInMs: those are then unknown (0 above) and stay unknown, never taken as 0.
    bool renderingKnown = true;

    bool operator==(const SentExercise&) const = default;
};

} // namespace vortan
