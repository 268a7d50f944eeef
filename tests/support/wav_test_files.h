// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// WAV files made by tests: a header for any PCM format and size, without writing the samples.

#include "sound/pcm_wav.h"

#include <cstdint>
#include <vector>

namespace vortan::test {

// The 44-byte header of a PCM WAV file whose data chunk claims `dataBytes`.
inline std::vector<std::uint8_t> pcmWavHeader(const PcmFormat& format, std::uint32_t dataBytes)
{
    std::vector<std::uint8_t> out;
    const auto put = [&out](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const auto id = [&out](const char* four) { out.insert(out.end(), four, four + 4); };
    const auto frameBytes = static_cast<std::uint32_t>(format.frameBytes());
    id("RIFF");
    put(36 + dataBytes, 4);
    id("WAVE");
    id("fmt ");
    put(16, 4);
    put(1, 2);
    put(static_cast<std::uint32_t>(format.channelCount), 2);
    put(static_cast<std::uint32_t>(format.sampleRate), 4);
    put(static_cast<std::uint32_t>(format.sampleRate) * frameBytes, 4);
    put(frameBytes, 2);
    put(static_cast<std::uint32_t>(format.bitsPerSample), 2);
    id("data");
    put(dataBytes, 4);
    return out;
}

} // namespace vortan::test
