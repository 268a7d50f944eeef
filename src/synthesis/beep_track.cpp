// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/beep_track.h"

#include "synthesis/keying.h"
#include "synthesis/wav_header.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vortan {

std::vector<std::uint8_t> beepTrackWav(const std::vector<int>& startsMs, int beepMs, int toneHz,
                                       int tailMs)
{
    const auto frames = [](int ms) { return std::int64_t{ms} * sampleRateHz / 1000; };
    const int lastMs = startsMs.empty() ? 0 : *std::max_element(startsMs.begin(), startsMs.end());
    const std::int64_t sampleCount = frames(lastMs + beepMs + tailMs);
    const auto header = wavHeader(sampleCount);
    std::vector<std::uint8_t> wav(header.begin(), header.end());
    wav.resize(header.size() + static_cast<std::size_t>(sampleCount), 128);
    const std::int64_t beepFrames = frames(beepMs);
    const std::int64_t rampFrames = std::min(frames(5), beepFrames / 2);
    for (const int startMs : startsMs) {
        const std::int64_t start = frames(startMs);
        for (std::int64_t i = 0; i < beepFrames; ++i) {
            const std::int64_t edge = std::min(i, beepFrames - 1 - i);
            const double envelope =
                rampFrames > 0 && edge < rampFrames ? double(edge) / double(rampFrames) : 1.0;
            const double phase = 2 * std::numbers::pi * toneHz * double(i) / sampleRateHz;
            wav[header.size() + static_cast<std::size_t>(start + i)] =
                static_cast<std::uint8_t>(std::lround(128 + 90 * envelope * std::sin(phase)));
        }
    }
    return wav;
}

} // namespace vortan
