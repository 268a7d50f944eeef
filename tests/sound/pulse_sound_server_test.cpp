#include "sound/pulse_sound_server.h"
#include "support/pulse_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace vortan {
namespace {

using namespace std::chrono_literals;

template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit = 5000ms)
{
    for (auto waited = 0ms; waited < limit && !condition(); waited += 10ms)
        std::this_thread::sleep_for(10ms);
    return condition();
}

TEST(VolumeScale, RoundTripsEveryChannelValue)
{
    for (std::uint32_t channel = 0; channel <= 65535; ++channel)
        ASSERT_EQ(channelFromServerVolume(serverVolumeFromChannel(std::uint16_t(channel))),
                  channel);
    EXPECT_EQ(serverVolumeFromChannel(65535), 0x10000u); // the server's normal volume
    EXPECT_EQ(channelFromServerVolume(0x20000), 65535);  // louder than normal
}

// On a private server, which the test may stop and whose sink hears nothing else.
TEST(PulseSoundServer, PlaysAtPitchReplacesStopsAndFollowsTheServerAwayAndBack)
{
    testing::PrivateServer pulse;
    if (!pulse.start()) {
        if (testing::servicesRequired())
            FAIL() << "pulseaudio could not start a private server";
        GTEST_SKIP() << "this test needs pulseaudio to start a private server";
    }
    setenv("PULSE_SERVER", pulse.address().c_str(), 1);
    PulseSoundServer server("Vortan test");
    ASSERT_TRUE(waitFor([&] { return server.volume() == (65535u << 16 | 65535u); }));
    const auto wav = [](int hz, double seconds) {
        const auto file =
            std::filesystem::path(::testing::TempDir()) / (std::to_string(hz) + ".wav");
        testing::writeToneWav(file, hz, seconds);
        return file;
    };
    for (int hz : {700, 1300}) { // the second replaces the first
        server.play(wav(hz, 5));
        std::this_thread::sleep_for(500ms);
        const auto [rms, heardHz] = pulse.listen();
        EXPECT_GT(rms, 1000);
        EXPECT_NEAR(heardHz, hz, 10);
    }
    server.stop();
    EXPECT_FALSE(server.isPlaying());
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(pulse.listen().first, 10);

    pulse.stop();
    ASSERT_TRUE(waitFor([&] { return !server.volume(); }));
    ASSERT_TRUE(pulse.start());
    pulse.pactl("set-sink-volume psink 20000");
    ASSERT_TRUE(waitFor([&] { return server.volume() == (20000u << 16 | 20000u); }, 10000ms));
    server.setVolume(7560u << 16 | 7560u);
    EXPECT_TRUE(waitFor(
        [&] { return pulse.pactl("get-sink-volume psink").find("7560 /") != std::string::npos; }));
    server.play(wav(700, 0.3));
    EXPECT_TRUE(server.isPlaying());
    EXPECT_TRUE(waitFor([&] { return !server.isPlaying(); })); // played out by the new server
}

} // namespace
} // namespace vortan
