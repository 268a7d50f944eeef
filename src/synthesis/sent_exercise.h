// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "synthesis/synthesizer.h"

#include <cstdint>
#include <string>

namespace vortan {

// What one rendering sent, as a value: the copy check scores against it and the history keeps it,
// whatever the window shows by then.
struct SentExercise {
    std::string text;             // the exercise text as rendered, windows-1250 bytes
    SynthesisSettings settings;   // the five settings the rendering used
    std::uint32_t bufferSeed = 0; // the generator's seed when the noise and tone were made
    std::uint32_t seed = 0;       // the generator's seed at the start of the sample pass
    std::string characterSet;     // the `chars` of the preset in use, windows-1250 bytes
    std::int64_t sentAtMs = 0;    // when it was rendered, milliseconds since the Unix epoch
    BandConditions conditions;    // fading, other stations, static and chirp; all off by default

    bool operator==(const SentExercise&) const = default;
};

} // namespace vortan
