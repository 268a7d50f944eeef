// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace vortan {

// Soft keying: the raised-cosine rise and fall at both ends of every tone element, inside the
// element's own samples, so that no timing changes. Over a ramp of R samples the tone (not the
// noise mixed into it) is scaled by w(k) = (1 - cos(pi * (k + 0.5) / R)) / 2 at the k-th sample
// from the element's edge: w runs from near 0 to near 1, and w(k) + w(R - 1 - k) = 1.
//
// The scaled tone values come from tables made once per rendering (for each ramp length in use
// and each phase the tone may have at the ramp's first sample), so an edge costs one add per
// ramp sample over contiguous memory and nothing is allocated while writing.
class ToneRamps {
public:
    static constexpr int maxRiseMs = 10;
    // Samples of the longest ramp, nearest(10 ms * 11025 Hz).
    static constexpr int maxRampSamples = 110;
    // Longest tone cycle in samples, at the lowest tone of 400 Hz.
    static constexpr int maxPeriod = 28;
    // Samples read past the end of a noisy edge, which is mixed in blocks of this many.
    static constexpr int readAhead = 16;

    // Samples of a ramp lasting riseMs (0 to 10): nearest(riseMs * 11.025).
    static int rampSamples(int riseMs);

    // Starts a rendering with ramps of riseMs (0: none) on the tone cycle sinetab[0..period-1]
    // (samples around 128; entry j is the tone at buffer indices j, j + period, ...) over the
    // noise-only samples noise[] (around 128) of the tone buffer, which must stay unchanged
    // until the next prepare and be readable readAhead samples past the buffer's last tone
    // sample; null when the tone carries no noise.
    void prepare(int riseMs, const std::uint8_t* sinetab, int period, const std::uint8_t* noise);

    // The ramp length for a tone element of toneSamples: the full ramp, but at most a quarter
    // of the element. 0 when soft keying is off.
    int rampLength(int toneSamples) const { return std::min(m_rampSamples, toneSamples / 4); }

    enum class Edge { Rising, Falling };

    // The `length` samples (at most maxRampSamples) of a ramp over the tone buffer's indices
    // first, first + 1, ...: each the noise-only sample plus the tone at that index scaled by the
    // ramp. Valid until the next call.
    const std::uint8_t* edge(Edge edge, int length, int first);

private:
    // The clean tone (around 128) scaled by the ramp of `length` for a ramp whose first sample
    // has tone phase `phase`: entry k is the ramp's sample k. Made on first use in a rendering.
    const std::uint8_t* scaledTone(Edge edge, int length, int phase);

    int m_rampSamples = 0;
    int m_period = 1;
    std::array<int, maxPeriod> m_tone{}; // the tone cycle less 128
    const std::uint8_t* m_noise = nullptr;

    // For each length 1 to maxRampSamples: rising rows for every phase, then falling rows.
    std::vector<std::uint8_t> m_tables =
        std::vector<std::uint8_t>(maxPeriod * maxRampSamples * (maxRampSamples + 1) + readAhead);
    std::array<bool, maxRampSamples + 1> m_tableReady{};

    // Noisy edges made lately: every element's rise is the same, and without straight-key
    // jitter every dot's fall too, and every dash's; these come back as block copies. Without
    // noise every edge is a row of the tables.
    struct MadeEdge {
        int first = -1;
        int length = 0;
        Edge edge = Edge::Rising;
        std::array<std::uint8_t, maxRampSamples + readAhead> samples;
    };
    std::array<MadeEdge, 32> m_madeEdges{};
};

} // namespace vortan
