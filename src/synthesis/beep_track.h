// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace vortan {

// A WAV file (8-bit mono, sampleRateHz) of silence with a short tone of `beepMs` starting at each
// of `startsMs`, `tailMs` of silence after the last: the beeps that measure a learner's
// reaction time. The tones rise and fall over a few milliseconds, so they do not click.
std::vector<std::uint8_t> beepTrackWav(const std::vector<int>& startsMs, int beepMs, int toneHz,
                                       int tailMs);

} // namespace vortan
