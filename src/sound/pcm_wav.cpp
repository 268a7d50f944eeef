// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pcm_wav.h"

#include <algorithm>

namespace vortan {
namespace {

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatExtensible = 0xfffe;
constexpr int maximumSampleRate = 768000;

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

std::optional<PcmFormat> parseFormat(std::span<const std::uint8_t> body)
{
    const std::uint16_t tag = read16(body, 0);
    PcmFormat format;
    format.channelCount = read16(body, 2);
    const std::uint32_t rate = read32(body, 4);
    const std::uint16_t blockAlign = read16(body, 12);
    format.bitsPerSample = read16(body, 14);
    bool pcm = tag == formatPcm;
    // The extensible header names its real format in the first two bytes of a GUID.
    if (tag == formatExtensible && body.size() >= 40)
        pcm = read16(body, 24) == formatPcm;
    if (!pcm || format.channelCount < 1 || format.channelCount > 2 || rate < 1 ||
        rate > maximumSampleRate || (format.bitsPerSample != 8 && format.bitsPerSample != 16) ||
        blockAlign != format.frameBytes())
        return std::nullopt;
    format.sampleRate = static_cast<int>(rate);
    return format;
}

} // namespace

std::optional<PcmWavLayout> parsePcmWavLayout(std::span<const std::uint8_t> head,
                                              std::uint64_t fileBytes)
{
    if (head.size() > fileBytes)
        head = head.first(static_cast<std::size_t>(fileBytes));
    if (head.size() < 12 || !hasId(head, 0, "RIFF") || !hasId(head, 8, "WAVE"))
        return std::nullopt;

    std::optional<PcmFormat> format;
    std::optional<PcmWavLayout> layout;
    std::uint64_t at = 12;
    while (at + 8 <= head.size()) {
        const std::uint64_t declared = read32(head, static_cast<std::size_t>(at + 4));
        const std::uint64_t bodyAt = at + 8;
        const std::uint64_t available = fileBytes - bodyAt;
        if (hasId(head, static_cast<std::size_t>(at), "fmt ")) {
            if (format || declared < 16 || bodyAt + declared > head.size())
                return std::nullopt;
            format = parseFormat(
                head.subspan(static_cast<std::size_t>(bodyAt), static_cast<std::size_t>(declared)));
            if (!format)
                return std::nullopt;
        } else if (hasId(head, static_cast<std::size_t>(at), "data")) {
            if (layout)
                return std::nullopt;
            layout = PcmWavLayout{{}, bodyAt, std::min(declared, available)};
            if (declared >= available)
                break; // the data runs to the end (or its size was never filled in)
        }
        if (declared >= available)
            break;
        at = bodyAt + declared + (declared & 1); // chunks are padded to even sizes
    }
    if (!format || !layout)
        return std::nullopt;
    layout->format = *format;
    const auto frameBytes = static_cast<std::uint64_t>(format->frameBytes());
    layout->dataBytes -= layout->dataBytes % frameBytes;
    return layout;
}

std::optional<PcmSound> parsePcmWav(std::span<const std::uint8_t> bytes)
{
    const std::optional<PcmWavLayout> layout = parsePcmWavLayout(bytes, bytes.size());
    if (!layout)
        return std::nullopt;
    PcmSound sound;
    static_cast<PcmFormat&>(sound) = layout->format;
    const auto data = bytes.subspan(static_cast<std::size_t>(layout->dataOffset),
                                    static_cast<std::size_t>(layout->dataBytes));
    sound.samples.assign(data.begin(), data.end());
    return sound;
}

} // namespace vortan
