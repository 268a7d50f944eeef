#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace vortan {

// A PCM sound held in memory: 8-bit unsigned or 16-bit signed little-endian samples, channels
// interleaved, whole frames only.
struct PcmSound {
    int channelCount = 1;   // 1 or 2
    int sampleRate = 11025; // frames per second
    int bitsPerSample = 8;  // 8 or 16
    std::vector<std::uint8_t> samples;

    int frameBytes() const { return channelCount * bitsPerSample / 8; }
};

// Parses a RIFF WAVE file of PCM samples. Returns nullopt for anything else (a broken header,
// a compressed format, more than two channels, a missing "fmt " or "data" chunk); never reads
// outside `bytes`. A data chunk that claims more than the file holds is cut to what is there.
std::optional<PcmSound> parsePcmWav(std::span<const std::uint8_t> bytes);

// Reads the whole file first, so the file may change as soon as this returns.
std::optional<PcmSound> readPcmWav(const std::filesystem::path& file);

} // namespace vortan
