// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pcm_wav.h"

#include <gtest/gtest.h>

#include <string>

namespace vortan {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& out, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A RIFF WAVE file with one "fmt " chunk (format 1 unless told) and one data chunk.
Bytes wav(std::uint16_t channels, std::uint16_t bits, Bytes samples, std::uint32_t dataSize,
          std::uint32_t fmtSize = 16)
{
    Bytes out{'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put(out, fmtSize, 4);
    put(out, 1, 2);
    put(out, channels, 2);
    put(out, 11025, 4);
    put(out, 11025u * channels * bits / 8, 4);
    put(out, channels * bits / 8, 2);
    put(out, bits, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(out, dataSize, 4);
    out.insert(out.end(), samples.begin(), samples.end());
    Bytes file{'R', 'I', 'F', 'F'};
    put(file, static_cast<std::uint32_t>(out.size()), 4);
    file.insert(file.end(), out.begin(), out.end());
    return file;
}

TEST(PcmWav, HeadersGoodAndBad)
{
    const Bytes five{128, 255, 0, 128, 7};
    const Bytes seven{1, 2, 3, 4, 5, 6, 7};
    Bytes truncated = wav(1, 8, five, 5);
    truncated.resize(30);
    const struct {
        const char* what;
        Bytes file;
        std::optional<Bytes> samples; // nullopt: refused
        int channels = 1;
        int bits = 8;
    } cases[] = {
        {"synthesis format", wav(1, 8, five, 5), five},
        {"16-bit stereo, overlong data cut to whole frames", wav(2, 16, seven, 0xffffffff),
         Bytes{1, 2, 3, 4}, 2, 16},
        {"empty", {}, std::nullopt},
        {"cut inside fmt", truncated, std::nullopt},
        {"fmt chunk too short", wav(1, 8, five, 5, 14), std::nullopt},
        {"fmt chunk size past the end", wav(1, 8, five, 5, 0xfffffff0), std::nullopt},
        {"three channels", wav(3, 8, five, 5), std::nullopt},
        {"24-bit", wav(1, 24, five, 5), std::nullopt},
    };
    for (const auto& c : cases) {
        const auto sound = parsePcmWav(c.file);
        ASSERT_EQ(sound.has_value(), c.samples.has_value()) << c.what;
        if (sound) {
            EXPECT_EQ(sound->samples, *c.samples) << c.what;
            EXPECT_EQ(sound->channelCount, c.channels) << c.what;
            EXPECT_EQ(sound->bitsPerSample, c.bits) << c.what;
            EXPECT_EQ(sound->sampleRate, 11025) << c.what;
        }
    }
}

} // namespace
} // namespace vortan
