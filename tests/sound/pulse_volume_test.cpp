// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pulse_volume.h"

#include <gtest/gtest.h>

namespace vortan {
namespace {

TEST(VolumeScale, RoundTripsEveryChannelValue)
{
    for (std::uint32_t channel = 0; channel <= 65535; ++channel)
        ASSERT_EQ(channelFromServerVolume(serverVolumeFromChannel(std::uint16_t(channel))),
                  channel);
    EXPECT_EQ(serverVolumeFromChannel(65535), 0x10000u); // the server's normal volume
    EXPECT_EQ(channelFromServerVolume(0x20000), 65535);  // louder than normal
}

} // namespace
} // namespace vortan
