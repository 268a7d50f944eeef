// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/wav_header.h"

#include "base/errors.h"
#include "synthesis/keying.h"

#include <cstring>

namespace vortan {

namespace {

void put32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void put16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

std::array<std::uint8_t, wavHeaderByteCount> wavHeader(std::int64_t sampleCount)
{
    if (sampleCount < 0 || sampleCount > maxWavSampleCount) {
        const std::int64_t hours = sampleCount / sampleRateHz / 3600;
        throw Error("The text is too long to render into one WAV file (" + std::to_string(hours) +
                    " hours of signal; a WAV file holds at most 108 hours at this quality)");
    }
    const auto dataSize = static_cast<std::uint32_t>(sampleCount);
    std::array<std::uint8_t, wavHeaderByteCount> header{};
    std::uint8_t* h = header.data();
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, dataSize + 36);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    put32(h + 16, 16);
    put16(h + 20, 1); // PCM
    put16(h + 22, 1); // mono
    put32(h + 24, sampleRateHz);
    put32(h + 28, sampleRateHz); // one byte per sample
    put16(h + 32, 1);
    put16(h + 34, 8);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, dataSize);
    return header;
}

} // namespace vortan
