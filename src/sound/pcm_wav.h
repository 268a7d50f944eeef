// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vortan {

// The sample format of a PCM sound: 8-bit unsigned or 16-bit signed little-endian samples,
// channels interleaved.
struct PcmFormat {
    int channelCount = 1;   // 1 or 2
    int sampleRate = 11025; // frames per second
    int bitsPerSample = 8;  // 8 or 16

    int frameBytes() const { return channelCount * bitsPerSample / 8; }
};

// A PCM sound held in memory, whole frames only.
struct PcmSound : PcmFormat {
    std::vector<std::uint8_t> samples;
};

// Where the samples of a WAV file lie, counted in bytes from the start of the file.
struct PcmWavLayout {
    PcmFormat format;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0; // whole frames, within the file
};

// Finds the format and the samples of a RIFF WAVE file of PCM samples from its first bytes
// (`head`, the whole file or at least every chunk header up to the data chunk) and its size.
// Returns nullopt for anything else (a broken header, a compressed format, more than two
// channels, a missing "fmt " or "data" chunk within `head`). A data chunk that claims more than
// the file holds is cut to what is there; a size of up to 4 GiB is taken as the header gives it.
std::optional<PcmWavLayout> parsePcmWavLayout(std::span<const std::uint8_t> head,
                                              std::uint64_t fileBytes);

// The same for a whole file held in memory; never reads outside `bytes`.
std::optional<PcmSound> parsePcmWav(std::span<const std::uint8_t> bytes);

} // namespace vortan
