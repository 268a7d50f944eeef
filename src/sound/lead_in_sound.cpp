// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/lead_in_sound.h"

#include "base/errors.h"

#include <algorithm>
#include <string>

namespace vortan {
namespace {

void checkRange(const char* what, int value, int minimum, int maximum)
{
    if (value < minimum || value > maximum)
        throw outOfRange(std::string("The lead-in's ") + what, minimum, maximum, value);
}

} // namespace

void checkLeadIn(const PlaybackLeadIn& leadIn)
{
    checkRange("length in milliseconds", leadIn.milliseconds, 0, LeadInSound::maximumMilliseconds);
    if (leadIn.milliseconds == 0)
        return; // off: nothing else is used
    checkRange("noise", leadIn.noise, 0, 255);
}

LeadInSound::LeadInSound(const PlaybackLeadIn& leadIn, const PcmFormat& format)
    : m_format(format)
    , m_frameBytes(static_cast<std::uint64_t>(format.frameBytes()))
    , m_remainingFrames(static_cast<std::uint64_t>(leadIn.milliseconds) *
                        static_cast<std::uint64_t>(format.sampleRate) / 1000)
    , m_noise(leadIn.noise < audibleNoise ? quietNoise : leadIn.noise)
{
    checkLeadIn(leadIn);
}

int LeadInSound::nextNoise()
{
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    return static_cast<int>(m_random % static_cast<std::uint32_t>(m_noise)) - m_noise / 2;
}

std::size_t LeadInSound::generate(std::span<std::uint8_t> out)
{
    const std::uint64_t frames =
        std::min<std::uint64_t>(m_remainingFrames, out.size() / m_frameBytes);
    std::uint8_t* to = out.data();
    for (std::uint64_t frame = 0; frame < frames; ++frame) {
        // In 8-bit steps around the middle (128); 16-bit samples take the same level.
        for (int channel = 0; channel < m_format.channelCount; ++channel) {
            const int level = nextNoise();
            if (m_format.bitsPerSample == 8) {
                *to++ = static_cast<std::uint8_t>(128 + level);
            } else {
                const auto sample =
                    static_cast<std::uint16_t>(static_cast<std::int16_t>(256 * level));
                *to++ = static_cast<std::uint8_t>(sample & 0xff);
                *to++ = static_cast<std::uint8_t>(sample >> 8);
            }
        }
    }
    m_remainingFrames -= frames;
    return static_cast<std::size_t>(frames * m_frameBytes);
}

} // namespace vortan
