// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "sound/pulse_player.h"
#include "support/pulse_test_support.h"
#include "support/test_files.h"
#include "support/wav_test_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <mutex>
#include <numbers>
#include <thread>

namespace vortan {
namespace {

using namespace std::chrono_literals;

// Peak resident memory of this process since the last resetPeakMemory(), in bytes.
std::uint64_t peakMemory()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoull(line.substr(6)) * 1024;
    return 0;
}

void resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Each test on a private server (the kind the test services run), so that it may stop it and
// its sink hears nothing else.
class PulsePlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!server.start()) {
            if (testing::servicesRequired())
                FAIL() << "no private " << testing::soundServerKind() << " server could start";
            GTEST_SKIP() << "this test needs a private " << testing::soundServerKind() << " server";
        }
        setenv("PULSE_SERVER", server.address().c_str(), 1);
        connection = std::make_unique<PulseConnection>("Vortan test");
        player = std::make_unique<PulsePlayer>(*connection);
    }

    std::filesystem::path tone(const std::string& name, int hz, double seconds = 5)
    {
        testing::writeToneWav(folder / name, hz, seconds);
        return folder / name;
    }

    // Loudness and pitch of the next second the sink plays, on one recording for the test.
    std::pair<double, double> listen()
    {
        if (!recording)
            recording = server.recording();
        return testing::loudnessAndPitch(recording->next(1));
    }

    void expectHeard(int hz, const char* when)
    {
        const auto [rms, heardHz] = listen();
        EXPECT_GT(rms, 1000) << when;
        EXPECT_NEAR(heardHz, hz, 10) << when;
    }

    testing::PrivateServer server;
    test::ScratchFolder folder;
    std::unique_ptr<PulseConnection> connection;
    std::unique_ptr<PulsePlayer> player;
    std::unique_ptr<testing::MonitorRecording> recording;
};

TEST_F(PulsePlayerTest, ARenderingReplacedWhileItPlaysIsHeardAsItWasAndStopSilences)
{
    const auto file = tone("sound.wav", 700);
    player->play(file);
    // As the renaming writer replaces it: a new file takes the name.
    std::filesystem::rename(tone("next.wav", 1300), file);
    std::this_thread::sleep_for(300ms);
    expectHeard(700, "the sound that was there at Play");
    player->play(file);
    std::this_thread::sleep_for(300ms);
    expectHeard(1300, "the new rendering at the next Play");

    player->stop();
    EXPECT_FALSE(player->isPlaying());
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(listen().first, 10);
}

TEST_F(PulsePlayerTest, AFileBeyondTheOldLimitPlaysWithBoundedMemory)
{
    // 600 MiB of 16-bit samples: 3 s of tone, then sparse silence.
    const PcmFormat format{1, 11025, 16};
    const std::uint32_t dataBytes = 600u << 20;
    std::vector<std::uint8_t> bytes = test::pcmWavHeader(format, dataBytes);
    for (int i = 0; i < 3 * 11025; ++i) {
        const auto sample = static_cast<std::int16_t>(
            std::lround(16000 * std::sin(2 * std::numbers::pi * 700 * i / 11025)));
        bytes.push_back(static_cast<std::uint8_t>(sample & 0xff));
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(sample) >> 8));
    }
    const auto file = folder / "long.wav";
    test::writeText(file, std::string(bytes.begin(), bytes.end()));
    std::filesystem::resize_file(file, 44 + std::uintmax_t{dataBytes});

    resetPeakMemory();
    const std::uint64_t before = peakMemory();
    player->play(file);
    std::this_thread::sleep_for(300ms);
    expectHeard(700, "the start of the long file");
    EXPECT_TRUE(player->isPlaying());
    EXPECT_LT(peakMemory(), before + (20u << 20)) << "peak before Play: " << before;
}

TEST_F(PulsePlayerTest, NoServerAtPlayIsAnErrorAndAPlayRightAfterItReturnsSounds)
{
    const auto file = tone("a.wav", 700);
    server.stop();
    recording.reset();
    try {
        player->play(file);
        ADD_FAILURE() << "a Play without a server said nothing";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), PulsePlayer::noServerMessage);
    }
    EXPECT_FALSE(player->isPlaying());

    // Right after the server is back, before the connection's own retry.
    ASSERT_TRUE(server.start());
    player->play(file);
    EXPECT_TRUE(player->isPlaying());
    std::this_thread::sleep_for(300ms);
    expectHeard(700, "the Play right after the server came back");
}

TEST_F(PulsePlayerTest, TheServerGoneWhileASoundPlaysIsReportedOnceAndNothingElseIs)
{
    std::mutex mutex;
    std::vector<std::string> reports;
    player->setSoundLostHandler([&](const std::string& reason) {
        std::lock_guard lock(mutex);
        reports.push_back(reason);
    });
    const auto reported = [&] {
        std::lock_guard lock(mutex);
        return reports;
    };
    // A sound played out and a sound stopped say nothing.
    player->play(tone("short.wav", 700, 0.3));
    for (int waited = 0; waited < 100 && player->isPlaying(); ++waited)
        std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(player->isPlaying());
    player->play(tone("long.wav", 700));
    std::this_thread::sleep_for(300ms);
    player->stop();

    player->play(folder / "long.wav");
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(player->isPlaying());
    server.stop();
    for (int waited = 0; waited < 100 && reported().empty(); ++waited)
        std::this_thread::sleep_for(50ms);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(reported(), std::vector<std::string>{PulsePlayer::soundLostMessage});
    EXPECT_FALSE(player->isPlaying());
}

TEST_F(PulsePlayerTest, ANoiseLeadInIsHeardBeforeTheFirstElement)
{
    const auto file = tone("a.wav", 1000, 1);
    const struct {
        PlaybackLeadIn leadIn;
        double minimumRms;
        double maximumRms;
    } cases[] = {
        {{1000, 0}, 350, 600},   // noise off: 6 steps of uniform noise, 455
        {{500, 20}, 1000, 2000}, // 20 steps of uniform noise: 1478
    };
    for (const auto& c : cases) {
        if (!recording)
            recording = server.recording();
        ASSERT_TRUE(recording->started());
        const std::size_t beforePlay = recording->position();
        player->play(file, c.leadIn);
        const auto heard = recording->from(beforePlay, c.leadIn.milliseconds / 1000.0 + 1.5);

        const auto firstAbove = [&heard](int level) {
            return std::find_if(heard.begin(), heard.end(),
                                [level](std::int16_t x) { return std::abs(x) > level; });
        };
        const auto quiet = firstAbove(200);
        const auto loud = firstAbove(8000);
        ASSERT_TRUE(loud != heard.end()) << "the first element was not heard";
        // Nothing louder than the tone (0.8 of full scale): no click where the stream starts or
        // ends, as 8-bit samples gave on PipeWire, whose gaps are zero bytes.
        int peak = 0;
        for (const std::int16_t sample : heard)
            peak = std::max(peak, std::abs(int(sample)));
        EXPECT_LT(peak, 30000);
        // Shorter when the start of the lead-in is lost, or when a click comes before it (a gap
        // in the stream played as the lowest level).
        EXPECT_NEAR(double(loud - quiet) / 11025, c.leadIn.milliseconds / 1000.0, 0.04);
        const auto [rms, hz] = testing::loudnessAndPitch(
            {quiet + 200, quiet + std::max<long>(200, loud - quiet - 200)});
        EXPECT_GT(rms, c.minimumRms);
        EXPECT_LT(rms, c.maximumRms);
        // Noise, not a tone: far more crossings than a tone of the exercise's pitch (1000 Hz).
        EXPECT_GT(hz, 1200);
        player->stop();
    }
}

TEST_F(PulsePlayerTest, TheHeardFrameIsWhatTheSinkPlaysAfterTheLeadIn)
{
    // One second of silence, then a tone: the tone opens at frame 11025 of the file.
    const auto file = folder / "late.wav";
    testing::run("sox -n -r 11025 -b 8 -e unsigned-integer -c 1 '" + file.string() +
                 "' synth 3 sine 1000 vol 0.8 pad 1 0");
    EXPECT_FALSE(player->heardFrame()) << "nothing plays yet";
    recording = server.recording();
    ASSERT_TRUE(recording->started());

    // Stopped as the heard frame says 100 ms of the tone are out, the sink has played that
    // much of it: the latency taken off, the 500 ms lead-in not counted as the file's.
    constexpr std::int64_t toneStart = 11025;
    constexpr std::int64_t stopAt = toneStart + 1103;
    // What the sink plays from Play on, taken while the test watches the heard frame.
    std::vector<std::int16_t> recorded;
    std::thread listening([&] { recorded = recording->next(3); });
    std::this_thread::sleep_for(50ms); // the listener waits for samples from here on
    player->play(file, {.milliseconds = 500, .noise = 0});
    const std::optional<std::int64_t> first = player->heardFrame();
    const auto started = std::chrono::steady_clock::now();
    std::optional<std::int64_t> heard = first;
    std::int64_t at400ms = 0;
    std::int64_t at1400ms = 0;
    while (heard && *heard < stopAt && std::chrono::steady_clock::now() - started < 5s) {
        std::this_thread::sleep_for(1ms);
        heard = player->heardFrame();
        const auto since = std::chrono::steady_clock::now() - started;
        if (heard && at400ms == 0 && since >= 400ms)
            at400ms = *heard;
        if (heard && at1400ms == 0 && since >= 1400ms)
            at1400ms = *heard;
    }
    player->stop();
    EXPECT_FALSE(player->heardFrame()) << "stopped";
    listening.join();
    ASSERT_TRUE(first);
    EXPECT_LE(*first, 0) << "the lead-in plays first";
    EXPECT_GE(*first, -5513);
    ASSERT_TRUE(heard && *heard >= stopAt) << "the heard frame never reached the tone";
    // Once sounding, it runs at the sound's own pace.
    EXPECT_NEAR(double(at1400ms - at400ms), 11025, 1103);

    auto loud = [](std::int16_t x) { return std::abs(x) > 8000; };
    const auto onset = std::find_if(recorded.begin(), recorded.end(), loud);
    ASSERT_TRUE(onset != recorded.end()) << "the tone was not heard before the stop";
    // The tone ends at its last loud sample before 50 ms without one (a server's dropout in the
    // recording is shorter; a click long after the stop is no part of it).
    auto end = onset + 1;
    for (auto at = onset; at != recorded.end() && at - end < 551; ++at) {
        if (loud(*at))
            end = at + 1;
    }
    const double heardMs = double(end - onset) / 11.025;
    std::printf("tone heard before the stop: %.1f ms (the heard frame said %.1f ms)\n", heardMs,
                double(*heard - toneStart) / 11.025);
    // Never less than it said: a frame said heard too early (the latency or the lead-in not
    // taken off) would cut the tone short. A little more, as the stop itself takes a moment
    // and a sink hands its monitor whole blocks.
    const double saidMs = double(*heard - toneStart) / 11.025;
    EXPECT_GT(heardMs, saidMs - 30);
    EXPECT_LT(heardMs, saidMs + 150);
}

} // namespace
} // namespace vortan
