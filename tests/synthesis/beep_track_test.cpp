// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/beep_track.h"
#include "synthesis/keying.h"
#include "synthesis/wav_header.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vortan;

TEST(BeepTrack, ToneOnlyWhereABeepIs)
{
    const std::vector<std::uint8_t> wav = beepTrackWav({100, 1100}, 60, 700, 500);
    ASSERT_EQ(wav.size(), wavHeaderByteCount + std::size_t{sampleRateHz} * 1660 / 1000);
    const auto header = wavHeader(static_cast<std::int64_t>(wav.size() - wavHeaderByteCount));
    EXPECT_TRUE(std::equal(header.begin(), header.end(), wav.begin()));
    // Each 10 ms stretch: sounding or silent, as the beeps say.
    for (int ms = 0; ms + 10 <= 1660; ms += 10) {
        const bool inBeep = (ms >= 100 && ms < 160) || (ms >= 1100 && ms < 1160);
        int loudest = 0;
        for (int i = ms * sampleRateHz / 1000; i < (ms + 10) * sampleRateHz / 1000; ++i)
            loudest = std::max(loudest, std::abs(wav[wavHeaderByteCount + i] - 128));
        if (inBeep)
            EXPECT_GT(loudest, 40) << ms;
        else
            EXPECT_EQ(loudest, 0) << ms;
    }
}
