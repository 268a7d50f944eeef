#include "platform/pulse_sound_server.h"
#include "pulse_test_support.h"

#include <gtest/gtest.h>

namespace vortan {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t both(std::uint32_t channel)
{
    return (channel << 16) | channel;
}

template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit = 5000ms)
{
    for (auto waited = 0ms; waited < limit && !condition(); waited += 10ms)
        std::this_thread::sleep_for(10ms);
    return condition();
}

// A private server, so a test may stop it and nothing else gets into what its sink hears.
#define START_PRIVATE_SERVER(pulse)                                                                \
    testing::PrivateServer pulse;                                                                  \
    if (!pulse.start()) {                                                                          \
        if (testing::servicesRequired())                                                           \
            FAIL() << "pulseaudio could not start a private server";                               \
        GTEST_SKIP() << "this test needs pulseaudio to start a private server";                    \
    }                                                                                              \
    setenv("PULSE_SERVER", pulse.address().c_str(), 1)

TEST(VolumeScale, RoundTripsEveryChannelValue)
{
    for (std::uint32_t channel = 0; channel <= 65535; ++channel)
        ASSERT_EQ(channelFromServerVolume(serverVolumeFromChannel(std::uint16_t(channel))),
                  channel);
    EXPECT_EQ(serverVolumeFromChannel(65535), 0x10000u); // the server's normal volume
    EXPECT_EQ(channelFromServerVolume(0x20000), 65535);  // louder than normal
}

TEST(PulseSoundServer, PlaysAtPitchReplacesAndStops)
{
    START_PRIVATE_SERVER(pulse);
    PulseSoundServer server("Vortan test");
    ASSERT_TRUE(waitFor([&] { return server.hasOutput(); }));
    // One second of the sink, half a second after the change.
    const auto heard = [&] {
        std::this_thread::sleep_for(500ms);
        return testing::rmsAndHz(testing::record(pulse.address(), "psink.monitor", 1));
    };
    const auto low = std::filesystem::path(::testing::TempDir()) / "low.wav";
    const auto high = std::filesystem::path(::testing::TempDir()) / "high.wav";
    testing::writeToneWav(low, 700, 5);
    testing::writeToneWav(high, 1300, 5);

    server.play(low);
    auto [rms, hz] = heard();
    EXPECT_GT(rms, 1000);
    EXPECT_NEAR(hz, 700, 10);
    server.play(high);
    std::tie(rms, hz) = heard();
    EXPECT_GT(rms, 1000);
    EXPECT_NEAR(hz, 1300, 10);
    server.stop();
    EXPECT_FALSE(server.isPlaying());
    EXPECT_LT(heard().first, 10);
    std::filesystem::remove(low);
    std::filesystem::remove(high);
}

TEST(PulseSoundServer, FollowsTheServerAwayAndBack)
{
    START_PRIVATE_SERVER(pulse);
    PulseSoundServer server("Vortan test");
    ASSERT_TRUE(waitFor([&] { return server.volume() == both(65535); }));
    pulse.stop();
    ASSERT_TRUE(waitFor([&] { return !server.volume(); }));
    ASSERT_TRUE(pulse.start());
    pulse.pactl("set-sink-volume psink 20000");
    ASSERT_TRUE(waitFor([&] { return server.volume() == both(20000); }, 10000ms));

    server.setVolume(both(7560));
    EXPECT_TRUE(waitFor(
        [&] { return pulse.pactl("get-sink-volume psink").find("7560 /") != std::string::npos; }));
    const auto wav = std::filesystem::path(::testing::TempDir()) / "reconnect.wav";
    testing::writeToneWav(wav, 700, 0.3);
    server.play(wav);
    EXPECT_TRUE(server.isPlaying());
    EXPECT_TRUE(waitFor([&] { return !server.isPlaying(); })); // played out by the new server
    std::filesystem::remove(wav);
}

} // namespace
} // namespace vortan
