// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace vortan {

inline constexpr std::size_t wavHeaderByteCount = 44;

// The largest sample count whose RIFF chunk size (samples + 36) fits the header's 32-bit field.
inline constexpr std::int64_t maxWavSampleCount = 4294967295LL - 36;

// The 44-byte header of an 8-bit mono PCM WAV file at 11025 samples per second holding
// `sampleCount` samples. Throws vortan::Error when the count does not fit the header.
std::array<std::uint8_t, wavHeaderByteCount> wavHeader(std::int64_t sampleCount);

} // namespace vortan
