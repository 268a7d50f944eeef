// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sound/pcm_wav.h"
#include "sound/sound_player.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace vortan {

// The samples of a lead-in in the format of the sound it leads into, made a block at a time:
// the noise floor, or a quiet noise where the noise is silence. Never a tone: a tone at the
// exercise's pitch would be heard as a long dash.
class LeadInSound {
public:
    // Throws vortan::Error for a lead-in outside its ranges.
    LeadInSound(const PlaybackLeadIn& leadIn, const PcmFormat& format);

    // Bytes still to come, whole frames.
    std::uint64_t remainingBytes() const { return m_remainingFrames * m_frameBytes; }

    // Fills the start of `out` with as many of the next whole frames as fit; returns the bytes
    // written.
    std::size_t generate(std::span<std::uint8_t> out);

    static constexpr int maximumMilliseconds = 3000;
    // Noise narrower than this many 8-bit steps is a constant: silence.
    static constexpr int audibleNoise = 2;
    // The width of the quiet noise played instead, in 8-bit steps: samples from -3 to 2 of 128,
    // a peak of -33 dBFS and about -37 dBFS RMS, the hiss of a quiet receiver.
    static constexpr int quietNoise = 6;

private:
    int nextNoise(); // -h .. n-1-h in 8-bit steps, as the synthesizer draws it

    PcmFormat m_format;
    std::uint64_t m_frameBytes;
    std::uint64_t m_remainingFrames;
    int m_noise;
    std::uint32_t m_random = 0x9e3779b9u;
};

// Throws vortan::Error naming the first value of the lead-in outside its range.
void checkLeadIn(const PlaybackLeadIn& leadIn);

} // namespace vortan
