// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/test_files.h"
#include "synthesis/sound_timing.h"
#include "synthesis/synthesizer.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vortan;

namespace {

struct TimingCase {
    const char* name;
    std::string text;
    SynthesisSettings settings;
};

// Without noise every gap sample is 128 and a hard-keyed tone opens away from it, so the file
// itself shows where each character sounds.
const TimingCase timingCases[] = {
    {"plain", "paris paris", {.speed = 60, .tone = 600}},
    {"jitter and spacing",
     "Vvv = k7\r\nq?x",
     {.speed = 120, .spaces = 3, .tone = 750, .straight = 40}},
    {"fastest, full jitter",
     "abc\x9f\xb9 0 unknown\x01 z",
     {.speed = 250, .tone = 1000, .straight = 100}},
};

TEST(SoundTiming, TheMapFindsEveryToneWhereTheFileHasIt)
{
    const test::ScratchFolder scratch;
    for (const TimingCase& row : timingCases) {
        SCOPED_TRACE(row.name);
        RandomGenerator random;
        const FixedClock clock(4321987);
        Synthesizer synthesizer(random, clock);
        const auto file = scratch / "timing.wav";
        synthesizer.txtofile(file, row.text, row.settings);
        const std::vector<std::uint8_t> bytes = test::readBytes(file);
        const std::vector<std::uint8_t> samples(bytes.begin() + 44, bytes.end());

        SentExercise sent;
        sent.text = row.text;
        sent.settings = row.settings;
        sent.seed = synthesizer.lastSampleSeed();
        const std::vector<CharacterSound> sounds = characterSounds(sent);
        ASSERT_EQ(sounds.size(), row.text.size());

        const auto size = static_cast<std::int64_t>(samples.size());
        auto at = [&samples](std::int64_t i) { return samples[static_cast<std::size_t>(i)]; };
        std::vector<bool> covered(samples.size(), false);
        std::int64_t previousEnd = 0;
        for (std::size_t c = 0; c < sounds.size(); ++c) {
            const CharacterSound& sound = sounds[c];
            SCOPED_TRACE("character " + std::to_string(c));
            EXPECT_GE(sound.beginSample, previousEnd);
            if (!sound.sounds())
                continue;
            ASSERT_LE(sound.endSample, size);
            // The tone opens on the very sample the map names, after silence.
            EXPECT_NE(at(sound.beginSample), 128);
            if (sound.beginSample > 0) {
                EXPECT_EQ(at(sound.beginSample - 1), 128);
            }
            // It ends where the map says: the sine crosses 128 once a cycle, so the last sample
            // away from it is at most two before the end.
            if (sound.endSample < size) {
                EXPECT_EQ(at(sound.endSample), 128);
            }
            std::int64_t last = sound.endSample - 1;
            while (last > sound.beginSample && at(last) == 128)
                --last;
            EXPECT_GE(last, sound.endSample - 2);
            std::fill(covered.begin() + sound.beginSample, covered.begin() + sound.endSample, true);
            previousEnd = sound.endSample;
        }
        // No tone sounds outside the characters' spans.
        for (std::int64_t i = 0; i < size; ++i)
            if (!covered[static_cast<std::size_t>(i)] && at(i) != 128)
                FAIL() << "tone at sample " << i << " outside every character";
    }
}

TEST(SoundTiming, LastBegunCharacter)
{
    // "e e": e sounds 10-20, the separator none, e again 50-60.
    const std::vector<CharacterSound> sounds{{10, 20}, {40, 40}, {50, 60}};
    const struct {
        std::int64_t heard;
        std::optional<std::size_t> last;
    } rows[] = {
        {-5000, std::nullopt}, // the lead-in
        {9, std::nullopt},     {10, 0}, {49, 0}, {50, 2}, {1000, 2},
    };
    for (const auto& row : rows)
        EXPECT_EQ(lastBegunCharacter(sounds, row.heard), row.last) << row.heard;
}

} // namespace
