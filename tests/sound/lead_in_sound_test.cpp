// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "sound/lead_in_sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vortan {
namespace {

// Every sample of a lead-in as a level around silence, in its format's own steps.
std::vector<int> levels(const PlaybackLeadIn& leadIn, const PcmFormat& format,
                        std::size_t blockBytes)
{
    LeadInSound sound(leadIn, format);
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> block(blockBytes);
    while (sound.remainingBytes() > 0) {
        const std::size_t count = sound.generate(block);
        EXPECT_GT(count, 0u);
        EXPECT_EQ(count % static_cast<std::size_t>(format.frameBytes()), 0u);
        bytes.insert(bytes.end(), block.begin(), block.begin() + static_cast<long>(count));
    }
    std::vector<int> out;
    for (std::size_t i = 0; i < bytes.size();
         i += static_cast<std::size_t>(format.bitsPerSample / 8))
        out.push_back(format.bitsPerSample == 8
                          ? bytes[i] - 128
                          : static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8));
    return out;
}

TEST(LeadInSound, QuietToneWhereTheNoiseIsSilence)
{
    const struct {
        PcmFormat format;
        int milliseconds;
        int noise; // 0 and 1 are both silence
        int toneHz;
        int peak; // the tone's peak in the format's steps: 1/64 of full scale
    } cases[] = {
        {{1, 11025, 8}, 1000, 0, 300, 2},
        {{2, 44100, 16}, 1500, 1, 600, 512},
        {{1, 11025, 8}, 3000, 0, 20, 2},
    };
    for (const auto& c : cases) {
        const auto samples =
            levels({c.milliseconds, c.noise, c.toneHz}, c.format, 1000 * c.format.frameBytes() + 1);
        const auto channels = static_cast<std::size_t>(c.format.channelCount);
        ASSERT_EQ(samples.size(),
                  std::size_t(c.milliseconds) * std::size_t(c.format.sampleRate) / 1000 * channels);
        const double near = c.peak / 100.0 + 0.5; // 16-bit samples may miss the very top
        EXPECT_NEAR(*std::max_element(samples.begin(), samples.end()), c.peak, near);
        EXPECT_NEAR(*std::min_element(samples.begin(), samples.end()), -c.peak, near);
        // Pitch from the upward crossings of the first channel; both channels are the same.
        int crossings = 0;
        for (std::size_t i = channels; i < samples.size(); i += channels) {
            crossings += samples[i - channels] < 0 && samples[i] >= 0;
            ASSERT_EQ(samples[i], samples[i + channels - 1]);
        }
        EXPECT_NEAR(crossings * 1000.0 / c.milliseconds, c.toneHz, 2) << c.toneHz;
    }
}

TEST(LeadInSound, NoiseFloorAsTheSynthesizerDrawsIt)
{
    for (const int noise : {2, 20, 50}) {
        const auto samples = levels({500, noise, 600}, {1, 11025, 8}, 4096);
        ASSERT_EQ(samples.size(), 5512u);
        // Uniform over noise steps, starting half of them below silence.
        EXPECT_EQ(*std::min_element(samples.begin(), samples.end()), -(noise / 2));
        EXPECT_EQ(*std::max_element(samples.begin(), samples.end()), noise - 1 - noise / 2);
        double mean = 0;
        for (const int sample : samples)
            mean += sample;
        EXPECT_NEAR(mean / double(samples.size()), (noise - 1) / 2.0 - noise / 2, 0.1 * noise);
    }
    const auto wide = levels({100, 20, 600}, {2, 22050, 16}, 4096);
    EXPECT_EQ(*std::min_element(wide.begin(), wide.end()), -10 * 256);
    EXPECT_EQ(*std::max_element(wide.begin(), wide.end()), 9 * 256);
}

TEST(LeadInSound, OffIsEmptyAndValuesOutsideTheirRangesAreRefused)
{
    EXPECT_EQ(LeadInSound({}, {}).remainingBytes(), 0u);
    EXPECT_EQ(LeadInSound({0, 0, 0}, {}).remainingBytes(), 0u) << "no tone needed when off";
    const PlaybackLeadIn bad[] = {{3001, 0, 600}, {-1, 0, 600}, {100, 256, 600},
                                  {100, -1, 600}, {100, 0, 19}, {100, 1, 5001}};
    for (const PlaybackLeadIn& leadIn : bad)
        EXPECT_THROW(checkLeadIn(leadIn), Error) << leadIn.milliseconds << " " << leadIn.noise;
    EXPECT_NO_THROW(checkLeadIn({3000, 255, 0})); // noise plays, the tone is not used
}

} // namespace
} // namespace vortan
