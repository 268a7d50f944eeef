// SPDX-License-Identifier: GPL-3.0-or-later
// The clock type-along times keystrokes with, against what the sink plays: a rendering played
// with a lead-in on a real sound server, its monitor recorded, and keys "pressed" at known
// delays after each character's end as the recording shows it.
#include "scoring/copy_score.h"
#include "scoring/keystroke_clock.h"
#include "scoring/recognition_time.h"
#include "sound/pulse_player.h"
#include "support/pulse_test_support.h"
#include "support/test_files.h"
#include "synthesis/sound_timing.h"
#include "synthesis/synthesizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace vortan {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr int recordedRate = 11025; // the recording's, as MonitorRecording takes it
// A character has ended once the recording has been quiet this long after its last tone: longer
// than the gap between its elements (one dot, 44 ms at 20 words per minute), shorter than the
// gap between characters (three dots).
constexpr std::size_t characterGapSamples = recordedRate / 10;
constexpr int toneLevel = 8000; // the tone's peaks are near 26000, the lead-in's near 1000

std::int64_t steadyNanoseconds(SteadyClock::time_point at)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
}

double millisecondsBetween(SteadyClock::time_point from, SteadyClock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Keystroke {
    std::size_t endSample = 0; // the character's last tone sample + 1, in the recording
    SteadyClock::time_point due;
    std::optional<std::int64_t> frame;
    SteadyClock::time_point pressed;
};

// Plays `file` with the lead-in of `sent` and presses a key at the next of `delays` after each
// character's end, as the recording shows it: found live, as the sink plays it.
std::vector<Keystroke> playAndPress(PulsePlayer& player, testing::MonitorRecording& recording,
                                    const std::filesystem::path& file, const SentExercise& sent,
                                    std::size_t letters)
{
    const std::chrono::milliseconds delays[] = {150ms, 300ms, 450ms};
    const std::size_t beforePlay = recording.position();
    player.play(file, {.milliseconds = sent.leadInMs, .noise = 0});

    // The program's path: the window reads the player every 20 ms and at each keystroke, through
    // the keystroke clock, which runs on once the last character has played out.
    KeystrokeClock keystrokeClock;
    const auto stamp = [&](SteadyClock::time_point at) {
        return keystrokeClock.frameAt(player.heardFrame(), steadyNanoseconds(at));
    };
    std::vector<Keystroke> keys;
    const auto allPressed = [&keys, letters] {
        return keys.size() >= letters &&
               std::all_of(keys.begin(), keys.end(), [](const Keystroke& k) { return k.frame; });
    };
    std::size_t scanned = 0;
    std::optional<std::size_t> lastLoud;
    const auto started = SteadyClock::now();
    auto nextPoll = started;
    while (SteadyClock::now() - started < 20s && !allPressed()) {
        for (const std::int16_t sample : recording.arrived(beforePlay + scanned)) {
            if (std::abs(int(sample)) > toneLevel) {
                lastLoud = scanned;
            } else if (lastLoud && scanned - *lastLoud >= characterGapSamples) {
                const std::size_t end = beforePlay + *lastLoud + 1;
                if (const auto played = recording.playedAt(end))
                    keys.push_back({end, *played + delays[keys.size() % 3], {}, {}});
                lastLoud.reset();
            }
            ++scanned;
        }
        const auto now = SteadyClock::now();
        for (Keystroke& key : keys) {
            if (!key.frame && key.due <= now) {
                key.pressed = SteadyClock::now();
                key.frame = stamp(key.pressed);
            }
        }
        if (now >= nextPoll) {
            stamp(now);
            nextPoll = now + 20ms;
        }
        auto wake = now + 2ms;
        for (const Keystroke& key : keys) {
            if (!key.frame)
                wake = std::min(wake, key.due);
        }
        std::this_thread::sleep_until(wake);
    }
    player.stop();
    return keys;
}

// How far, at most, the ends found in the recording lie from where the file has them, relative
// to the first, in ms: more than a few samples means the sound or its recording was broken up
// on the way (an underrun of a machine too busy to feed the server).
double largestSpacingError(const std::vector<Keystroke>& keys,
                           const std::vector<CharacterSound>& sounds)
{
    std::vector<std::int64_t> fileEnds;
    for (const CharacterSound& sound : sounds) {
        if (sound.sounds())
            fileEnds.push_back(sound.endSample);
    }
    double largest = 0;
    for (std::size_t k = 1; k < keys.size() && k < fileEnds.size(); ++k) {
        const auto recorded = double(keys[k].endSample) - double(keys[0].endSample);
        const auto filed = double(fileEnds[k] - fileEnds[0]);
        largest = std::max(largest, std::abs(recorded - filed) * 1000 / recordedRate);
    }
    return largest;
}

TEST(HeardClock, RecognitionTimesMatchDelaysAfterTheEndsTheSinkPlayed)
{
    testing::PrivateServer server;
    testing::startForTheTest(server);
    if (IsSkipped() || HasFailure())
        return;
    setenv("PULSE_SERVER", server.address().c_str(), 1);
    PulseConnection connection("Vortan test");
    PulsePlayer player(connection);

    // 20 words per minute, no noise: the recording shows each tone plainly.
    test::ScratchFolder folder;
    const std::string text = "abc de fghij";
    SentExercise sent;
    sent.text = text;
    sent.settings = {.speed = 100, .tone = 700};
    sent.leadInMs = 500;
    RandomGenerator random;
    const FixedClock fixedClock(45'296'789);
    Synthesizer synthesizer(random, fixedClock);
    synthesizer.txtofile(folder / "exercise.wav", text, sent.settings);
    sent.seed = synthesizer.lastSampleSeed();
    const std::vector<CharacterSound> sounds = characterSounds(sent);
    const auto letters = static_cast<std::size_t>(std::count_if(
        sounds.begin(), sounds.end(), [](const CharacterSound& s) { return s.sounds(); }));

    const auto recording = server.recording();
    ASSERT_TRUE(recording->started());
    // A sound broken up on its way is no measure of the clock: up to three tries for one whole.
    std::vector<Keystroke> keys;
    for (int attempt = 0; attempt < 3; ++attempt) {
        keys = playAndPress(player, *recording, folder / "exercise.wav", sent, letters);
        const double spacingMs = largestSpacingError(keys, sounds);
        if (keys.size() == letters && spacingMs < 2)
            break;
        std::printf("the sound was broken up (%zu ends found, spaced up to %.1f ms off the "
                    "file): played again\n",
                    keys.size(), spacingMs);
    }
    ASSERT_EQ(keys.size(), letters) << "characters found in the recording";

    // The copy typed right, each letter at its keystroke.
    KeystrokeFrames frames;
    std::string sounding;
    for (std::size_t byte = 0; byte < text.size(); ++byte) {
        frames.push_back(sounds[byte].sounds() ? keys[sounding.size()].frame : std::nullopt);
        if (sounds[byte].sounds())
            sounding += text[byte];
    }
    const CopyScore score = scoreCopy(text, text);
    const std::vector<std::optional<RecognitionTime>> times =
        recognitionTimes(score, text, text, sounds, frames, 0);
    ASSERT_EQ(times.size(), letters);

    // The ends' times once the whole recording is in: later blocks can only tighten them.
    std::vector<double> errors;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        SCOPED_TRACE("character " + std::to_string(k));
        ASSERT_TRUE(times[k]) << "not timed";
        EXPECT_FALSE(times[k]->anticipated);
        const auto played = recording->playedAt(keys[k].endSample);
        ASSERT_TRUE(played);
        // On PulseAudio the errors lean some 8 ms negative: its null sink renders ahead by its
        // latency and hands its monitor each block then, while the stream's clock (rightly, for
        // a sound card) counts a sample heard only once that latency has passed.
        const double injectedMs = millisecondsBetween(*played, keys[k].pressed);
        errors.push_back(times[k]->milliseconds - injectedMs);
        std::printf("%c: key %.1f ms after its end, recognition time %d ms, error %+.1f ms\n",
                    sounding[k], injectedMs, times[k]->milliseconds, errors.back());
    }
    std::vector<double> sizes;
    for (const double error : errors)
        sizes.push_back(std::abs(error));
    std::sort(sizes.begin(), sizes.end());
    std::printf("%s: recognition time errors: median %.1f ms, maximum %.1f ms over %zu keys\n",
                testing::soundServerKind().c_str(), sizes[sizes.size() / 2], sizes.back(),
                sizes.size());
    EXPECT_LE(sizes.back(), 20.0);
}

} // namespace
} // namespace vortan
