#include "platform/pulse_sound_server.h"
#include "pulse_test_support.h"

#include <gtest/gtest.h>

#include <thread>

namespace vortan {
namespace {

using namespace std::chrono_literals;
using testing::PrivateServer;

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

#define SKIP_OR_FAIL(why)                                                                          \
    do {                                                                                           \
        if (testing::servicesRequired())                                                           \
            FAIL() << why;                                                                         \
        GTEST_SKIP() << why;                                                                       \
    } while (false)

TEST(VolumeScale, RoundTripsEveryChannelValue)
{
    for (std::uint32_t channel = 0; channel <= 65535; ++channel)
        ASSERT_EQ(channelFromServerVolume(serverVolumeFromChannel(std::uint16_t(channel))),
                  channel);
    EXPECT_EQ(serverVolumeFromChannel(65535), 0x10000u); // the server's normal volume
    EXPECT_EQ(channelFromServerVolume(0x10000), 65535);
    EXPECT_EQ(channelFromServerVolume(0x20000), 65535); // louder than normal
}

// Playback on a private server, so nothing else gets into what its sink hears.
class Playback : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!m_pulse.start())
            SKIP_OR_FAIL("playback tests need pulseaudio to start a private server");
        setenv("PULSE_SERVER", m_pulse.address().c_str(), 1);
        m_server = std::make_unique<PulseSoundServer>("Vortan test");
        ASSERT_TRUE(waitFor([&] { return m_server->hasOutput(); }));
        testing::writeToneWav(m_low, 700, 5);
        testing::writeToneWav(m_high, 1300, 5);
    }
    void TearDown() override
    {
        m_server.reset();
        std::filesystem::remove(m_low);
        std::filesystem::remove(m_high);
    }
    // One second of the sink, half a second from now.
    std::vector<std::int16_t> heard() const
    {
        std::this_thread::sleep_for(500ms);
        return testing::record(m_pulse.address(), "psink.monitor", 1);
    }

    PrivateServer m_pulse;
    std::unique_ptr<PulseSoundServer> m_server;
    std::filesystem::path m_low = std::filesystem::path(::testing::TempDir()) / "low.wav";
    std::filesystem::path m_high = std::filesystem::path(::testing::TempDir()) / "high.wav";
};

TEST_F(Playback, PlaysAtPitchReplacesAndStops)
{
    m_server->play(m_low);
    auto [rms, hz] = testing::rmsAndHz(heard());
    EXPECT_GT(rms, 1000);
    EXPECT_NEAR(hz, 700, 10);

    m_server->play(m_high);
    std::tie(rms, hz) = testing::rmsAndHz(heard());
    EXPECT_GT(rms, 1000);
    EXPECT_NEAR(hz, 1300, 10);

    m_server->stop();
    EXPECT_FALSE(m_server->isPlaying());
    EXPECT_LT(testing::rmsAndHz(heard()).first, 10);
}

TEST(PulseReconnect, FollowsTheServerAwayAndBack)
{
    PrivateServer pulse;
    if (!pulse.start())
        SKIP_OR_FAIL("the reconnect test needs pulseaudio to start a private server");
    setenv("PULSE_SERVER", pulse.address().c_str(), 1);
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
