// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pulse_volume.h"
#include "support/pulse_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
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

// On a private server, which the test may stop.
TEST(PulseVolume, FollowsTheSinkAndTheServerAwayAndBack)
{
    testing::PrivateServer pulse;
    if (!pulse.start()) {
        if (testing::servicesRequired())
            FAIL() << "no private " << testing::soundServerKind() << " server could start";
        GTEST_SKIP() << "this test needs a private " << testing::soundServerKind() << " server";
    }
    setenv("PULSE_SERVER", pulse.address().c_str(), 1);
    std::atomic<int> changes = 0;
    PulseConnection connection("Vortan test");
    PulseVolume volume(connection);
    volume.subscribe([&changes] { ++changes; });
    ASSERT_TRUE(waitFor([&] { return volume.volume() == (65535u << 16 | 65535u); }));
    EXPECT_GT(changes, 0);

    pulse.pactl("set-sink-volume psink 10000 65536"); // left, right (normal)
    EXPECT_TRUE(waitFor([&] { return volume.volume() == (65535u << 16 | 10000u); }));
    volume.setVolume(7560u << 16 | 7560u);
    EXPECT_EQ(volume.volume(), 7560u << 16 | 7560u); // at once, before the server answers
    EXPECT_TRUE(waitFor([&] {
        const std::string now = pulse.pactl("get-sink-volume psink");
        return now.find("7560 /") != std::string::npos && now.find("65536") == std::string::npos;
    }));

    pulse.stop();
    ASSERT_TRUE(waitFor([&] { return !volume.volume(); }));
    volume.setVolume(0); // nothing to set: ignored
    ASSERT_TRUE(pulse.start());
    pulse.pactl("set-sink-volume psink 20000");
    EXPECT_TRUE(waitFor([&] { return volume.volume() == (20000u << 16 | 20000u); }, 10000ms));
}

} // namespace
} // namespace vortan
