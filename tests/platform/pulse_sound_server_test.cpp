#include "platform/pulse_sound_server.h"
#include "pulse_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>

namespace vortan {
namespace {

using namespace std::chrono_literals;
using testing::PrivateServer;
using testing::Recorder;

constexpr std::uint32_t both(std::uint32_t channel)
{
    return (channel << 16) | channel;
}

template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit = 5000ms)
{
    for (auto waited = 0ms; waited < limit; waited += 10ms) {
        if (condition())
            return true;
        std::this_thread::sleep_for(10ms);
    }
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
    for (std::uint32_t channel = 0; channel <= 65535; ++channel) {
        const std::uint32_t server = serverVolumeFromChannel(static_cast<std::uint16_t>(channel));
        ASSERT_EQ(channelFromServerVolume(server), channel) << channel;
        if (channel > 0) {
            ASSERT_GT(server, serverVolumeFromChannel(static_cast<std::uint16_t>(channel - 1)));
        }
    }
    EXPECT_EQ(serverVolumeFromChannel(0), 0u);
    EXPECT_EQ(serverVolumeFromChannel(65535), 0x10000u); // the server's 100 %
    EXPECT_EQ(serverVolumeFromChannel(32760), 32760u);
    EXPECT_EQ(channelFromServerVolume(0x10000), 65535);
    EXPECT_EQ(channelFromServerVolume(0x20000), 65535); // louder than normal
}

TEST(PulseSoundServer, WithoutAServerNothingHappens)
{
    const std::string missing = "unix:" + ::testing::TempDir() + "no-such-server";
    setenv("PULSE_SERVER", missing.c_str(), 1);
    PulseSoundServer server("Vortan test");
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(server.volume());
    server.setVolume(both(1000));
    const auto wav = std::filesystem::path(::testing::TempDir()) / "no-server.wav";
    testing::writeToneWav(wav, 700, 0.1);
    server.play(wav);
    EXPECT_FALSE(server.isPlaying());
    server.stop();
    EXPECT_FALSE(server.volume());
    std::filesystem::remove(wav);
}

// Playback on a private server, so no other test's sound gets into the recordings.
class Playback : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!m_pulse.start())
            SKIP_OR_FAIL("playback tests need pulseaudio to start a private server");
        setenv("PULSE_SERVER", m_pulse.address().c_str(), 1);
        m_server = std::make_unique<PulseSoundServer>("Vortan test");
        m_recorder = std::make_unique<Recorder>(m_pulse.address(), "psink.monitor");
        ASSERT_TRUE(m_recorder->ok());
        ASSERT_TRUE(waitFor([&] { return m_server->hasOutput(); }));
    }
    void TearDown() override
    {
        m_recorder.reset();
        m_server.reset();
        std::error_code ignored;
        std::filesystem::remove(m_first, ignored);
        std::filesystem::remove(m_second, ignored);
    }

    // One second of what the sink played, starting half a second after `mark`.
    std::vector<std::int16_t> heardAfter(std::size_t mark) const
    {
        return m_recorder->samples(mark + Recorder::sampleRate / 2, Recorder::sampleRate);
    }

    PrivateServer m_pulse;
    std::unique_ptr<PulseSoundServer> m_server;
    std::unique_ptr<Recorder> m_recorder;
    std::filesystem::path m_first = std::filesystem::path(::testing::TempDir()) / "first.wav";
    std::filesystem::path m_second = std::filesystem::path(::testing::TempDir()) / "second.wav";
};

TEST_F(Playback, IsHeardAtItsPitch)
{
    testing::writeToneWav(m_first, 700, 3);
    const std::size_t mark = m_recorder->position();
    m_server->play(m_first);
    const auto heard = heardAfter(mark);
    EXPECT_GT(testing::rms(heard), 1000);
    EXPECT_NEAR(testing::zeroCrossingHz(heard, Recorder::sampleRate), 700, 10);
    EXPECT_TRUE(m_server->isPlaying());
}

TEST_F(Playback, SecondSoundReplacesFirst)
{
    testing::writeToneWav(m_first, 700, 5);
    testing::writeToneWav(m_second, 1300, 5);
    m_server->play(m_first);
    std::this_thread::sleep_for(500ms);
    const std::size_t mark = m_recorder->position();
    m_server->play(m_second);
    const auto heard = heardAfter(mark);
    const double second = testing::tonePower(heard, 1300, Recorder::sampleRate);
    const double first = testing::tonePower(heard, 700, Recorder::sampleRate);
    EXPECT_GT(second, 1000 * first);
    EXPECT_GT(testing::rms(heard), 1000);
}

TEST_F(Playback, StopSilencesAtOnce)
{
    testing::writeToneWav(m_first, 700, 5);
    m_server->play(m_first);
    std::this_thread::sleep_for(500ms);
    const std::size_t mark = m_recorder->position();
    m_server->stop();
    EXPECT_FALSE(m_server->isPlaying());
    EXPECT_LT(testing::rms(heardAfter(mark)), 10);
}

TEST_F(Playback, FileMayBeRewrittenWhilePlaying)
{
    testing::writeToneWav(m_first, 700, 5);
    const std::size_t mark = m_recorder->position();
    m_server->play(m_first);
    testing::writeToneWav(m_first, 1300, 5);
    const auto heard = heardAfter(mark);
    EXPECT_GT(testing::tonePower(heard, 700, Recorder::sampleRate),
              1000 * testing::tonePower(heard, 1300, Recorder::sampleRate));
}

TEST_F(Playback, UnplayableFileStopsAndPlaysNothing)
{
    testing::writeToneWav(m_first, 700, 5);
    m_server->play(m_first);
    std::this_thread::sleep_for(300ms);
    const std::size_t mark = m_recorder->position();
    m_server->play(m_second); // does not exist
    EXPECT_FALSE(m_server->isPlaying());
    EXPECT_LT(testing::rms(heardAfter(mark)), 10);
    std::ofstream(m_second) << "not a sound";
    m_server->play(m_second);
    EXPECT_FALSE(m_server->isPlaying());
}

TEST_F(Playback, ShortSoundPlaysOutAndEnds)
{
    testing::writeToneWav(m_first, 700, 0.2);
    const std::size_t mark = m_recorder->position();
    m_server->play(m_first);
    EXPECT_TRUE(m_server->isPlaying());
    EXPECT_TRUE(waitFor([&] { return !m_server->isPlaying(); }));
    // All of it was heard, shorter than the server's buffers as it is.
    const auto heard = m_recorder->samples(mark, Recorder::sampleRate);
    std::size_t loud = 0;
    for (const auto sample : heard)
        loud += std::abs(sample) > 8000;
    EXPECT_GT(loud, std::size_t(0.2 * 11025 / 3));
}

TEST(PulseReconnect, FollowsTheServerAwayAndBack)
{
    PrivateServer pulse;
    if (!pulse.start())
        SKIP_OR_FAIL("the reconnect test needs pulseaudio to start a private server");
    setenv("PULSE_SERVER", pulse.address().c_str(), 1);
    PulseSoundServer server("Vortan test");
    std::atomic<int> changes{0};
    const int id = server.subscribe([&] { ++changes; });
    ASSERT_TRUE(waitFor([&] { return server.hasOutput(); }));

    pulse.stop();
    ASSERT_TRUE(waitFor([&] { return !server.hasOutput(); }));
    const int changesWhileAway = changes;
    server.setVolume(both(1000)); // nobody to tell: ignored
    ASSERT_TRUE(pulse.start());
    ASSERT_TRUE(waitFor([&] { return server.hasOutput(); }, 10000ms));
    EXPECT_GT(changes, changesWhileAway);

    server.setVolume(both(20000));
    EXPECT_TRUE(waitFor(
        [&] { return pulse.pactl("get-sink-volume psink").find("20000 /") != std::string::npos; }));
    const auto wav = std::filesystem::path(::testing::TempDir()) / "reconnect.wav";
    testing::writeToneWav(wav, 700, 0.3);
    server.play(wav);
    EXPECT_TRUE(server.isPlaying());
    EXPECT_TRUE(waitFor([&] { return !server.isPlaying(); })); // played out by the new server
    server.unsubscribe(id);
    std::filesystem::remove(wav);
}

TEST(PulseDefaultSink, FollowsTheUsersChoiceOfOutput)
{
    PrivateServer pulse;
    if (!pulse.start())
        SKIP_OR_FAIL("the default sink test needs pulseaudio to start a private server");
    setenv("PULSE_SERVER", pulse.address().c_str(), 1);
    PulseSoundServer server("Vortan test");
    ASSERT_TRUE(waitFor([&] { return server.volume() == both(65535); }));

    pulse.pactl("load-module module-null-sink sink_name=other");
    pulse.pactl("set-sink-volume other 16384 49152"); // 25 % left, 75 % right
    pulse.pactl("set-default-sink other");
    EXPECT_TRUE(waitFor([&] { return server.volume() == ((49151u << 16) | 16384u); }));

    server.setVolume(both(7560));
    EXPECT_TRUE(waitFor([&] {
        const std::string shown = pulse.pactl("get-sink-volume other");
        return shown.find("7560 /") != std::string::npos &&
               shown.find("7560 /") != shown.rfind("7560 /");
    }));
    EXPECT_NE(pulse.pactl("get-sink-volume psink").find("65536 /"), std::string::npos);

    // A mono output shows its one channel in both words and takes the louder of the two.
    pulse.pactl("load-module module-null-sink sink_name=mono channels=1 channel_map=mono");
    pulse.pactl("set-sink-volume mono 20000");
    pulse.pactl("set-default-sink mono");
    EXPECT_TRUE(waitFor([&] { return server.volume() == both(20000); }));
    server.setVolume((30000u << 16) | 10000u);
    EXPECT_TRUE(waitFor(
        [&] { return pulse.pactl("get-sink-volume mono").find("30000 /") != std::string::npos; }));
    EXPECT_EQ(server.volume(), both(30000));
}

// The shared server's vsink, as the program finds it. Restores full volume afterwards.
class SharedSinkVolume : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testing::sharedServerRunning())
            SKIP_OR_FAIL("volume tests need the test sound server (run under test-services.sh)");
        m_server = std::make_unique<PulseSoundServer>("Vortan test");
        ASSERT_TRUE(waitFor([&] { return m_server->hasOutput(); }));
    }
    void TearDown() override
    {
        m_server.reset();
        if (testing::sharedServerRunning())
            testing::run("pactl set-sink-volume vsink 100%");
    }
    std::unique_ptr<PulseSoundServer> m_server;
};

TEST_F(SharedSinkVolume, WritesAndFollowsTheDefaultSink)
{
    m_server->setVolume(0x7ff87ff8);
    EXPECT_EQ(m_server->volume(), 0x7ff87ff8u);
    EXPECT_TRUE(waitFor([] {
        const std::string shown = testing::run("pactl get-sink-volume vsink");
        return shown.find("32760 /") != std::string::npos &&
               shown.find("32760 /") != shown.rfind("32760 /");
    }));

    std::atomic<int> changes{0};
    const int id = m_server->subscribe([&] { ++changes; });
    testing::run("pactl set-sink-volume vsink 50%");
    EXPECT_TRUE(waitFor([&] { return m_server->volume() == both(32768); }));
    EXPECT_GT(changes, 0);

    testing::run("pactl set-sink-volume vsink 10000 60001");
    EXPECT_TRUE(waitFor([&] { return m_server->volume() == ((60000u << 16) | 10000u); }));
    m_server->setVolume(both(65535));
    EXPECT_TRUE(waitFor([] {
        return testing::run("pactl get-sink-volume vsink").find("65536 / 100%") !=
               std::string::npos;
    }));
    m_server->unsubscribe(id);
}

} // namespace
} // namespace vortan
