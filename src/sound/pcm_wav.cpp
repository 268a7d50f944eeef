#include "sound/pcm_wav.h"

#include <fstream>
#include <iterator>

namespace vortan {
namespace {

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatExtensible = 0xfffe;
constexpr int maximumSampleRate = 768000;
// Larger files are not sounds this program makes; refuse rather than allocate gigabytes.
constexpr std::uintmax_t maximumFileBytes = 512u * 1024u * 1024u;

std::uint16_t read16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t read32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) |
           (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

bool hasId(std::span<const std::uint8_t> bytes, std::size_t at, const char (&id)[5])
{
    for (std::size_t i = 0; i < 4; ++i)
        if (bytes[at + i] != static_cast<std::uint8_t>(id[i]))
            return false;
    return true;
}

} // namespace

std::optional<PcmSound> parsePcmWav(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 12 || !hasId(bytes, 0, "RIFF") || !hasId(bytes, 8, "WAVE"))
        return std::nullopt;

    std::optional<PcmSound> format;
    std::span<const std::uint8_t> data;
    bool haveData = false;
    std::size_t at = 12;
    while (bytes.size() - at >= 8) {
        const std::size_t declared = read32(bytes, at + 4);
        const std::size_t bodyAt = at + 8;
        const std::size_t available = bytes.size() - bodyAt;
        if (hasId(bytes, at, "fmt ")) {
            if (format || declared < 16 || declared > available)
                return std::nullopt;
            const std::uint16_t tag = read16(bytes, bodyAt);
            PcmSound sound;
            sound.channelCount = read16(bytes, bodyAt + 2);
            const std::uint32_t rate = read32(bytes, bodyAt + 4);
            const std::uint16_t blockAlign = read16(bytes, bodyAt + 12);
            sound.bitsPerSample = read16(bytes, bodyAt + 14);
            bool pcm = tag == formatPcm;
            // The extensible header names its real format in the first two bytes of a GUID.
            if (tag == formatExtensible && declared >= 40)
                pcm = read16(bytes, bodyAt + 24) == formatPcm;
            if (!pcm || sound.channelCount < 1 || sound.channelCount > 2 || rate < 1 ||
                rate > maximumSampleRate ||
                (sound.bitsPerSample != 8 && sound.bitsPerSample != 16) ||
                blockAlign != sound.frameBytes())
                return std::nullopt;
            sound.sampleRate = static_cast<int>(rate);
            format = std::move(sound);
        } else if (hasId(bytes, at, "data")) {
            if (haveData)
                return std::nullopt;
            haveData = true;
            data = bytes.subspan(bodyAt, std::min(declared, available));
            if (declared >= available)
                break; // the data runs to the end (or its size was never filled in)
        }
        if (declared >= available)
            break;
        at = bodyAt + declared + (declared & 1); // chunks are padded to even sizes
    }
    if (!format || !haveData)
        return std::nullopt;
    const std::size_t frameBytes = static_cast<std::size_t>(format->frameBytes());
    format->samples.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(
                                                            data.size() / frameBytes * frameBytes));
    return format;
}

std::optional<PcmSound> readPcmWav(const std::filesystem::path& file)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > maximumFileBytes)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return parsePcmWav(bytes);
}

} // namespace vortan
