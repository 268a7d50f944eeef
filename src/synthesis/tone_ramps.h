#pragma once

#include <array>
#include <cstdint>

namespace vortan {

// Soft keying: the raised-cosine rise and fall at both ends of every tone element, inside the
// element's own samples, so that no timing changes. Over a ramp of R samples the tone (not the
// noise mixed into it) is scaled by w(k) = (1 - cos(pi * (k + 0.5) / R)) / 2 at the k-th sample
// from the element's edge: w runs from near 0 to near 1, and w(k) + w(R - 1 - k) = 1.
//
// The scaled tone values come from tables filled once per rendering (one per ramp length in use,
// over one tone cycle), so an edge costs one table look-up and one add per ramp sample and
// nothing is allocated.
class ToneRamps {
public:
    static constexpr int maxRiseMs = 10;
    // Samples of the longest ramp, nearest(10 ms * 11025 Hz).
    static constexpr int maxRampSamples = 110;
    // Longest tone cycle in samples, at the lowest tone of 400 Hz.
    static constexpr int maxPeriod = 28;

    // Samples of a ramp lasting riseMs (0 to 10): nearest(riseMs * 11.025).
    static int rampSamples(int riseMs);

    // Starts a rendering with ramps of riseMs (0: none) on the tone cycle sinetab[0..period-1]
    // (samples around 128; entry j is the tone at buffer indices j, j + period, ...).
    void prepare(int riseMs, const std::uint8_t* sinetab, int period);

    // The ramp length for a tone element of toneSamples: the full ramp, but at most a quarter
    // of the element. 0 when soft keying is off.
    int rampLength(int toneSamples) const;

    // Writes `length` ramp samples for the tone buffer's indices first, first + 1, ...: each the
    // noise-only sample noise[index] (noise around 128) plus the tone at that index scaled by
    // the rising ramp (rise) or the falling one (fall) of that length. length at most
    // maxRampSamples.
    void rise(int length, int first, const std::uint8_t* noise, std::uint8_t* out);
    void fall(int length, int first, const std::uint8_t* noise, std::uint8_t* out);

private:
    // The tone scaled by the rising ramp of `length`: entry k * period + phase is sample k of
    // the ramp at a tone phase. Filled on first use in a rendering.
    const std::int8_t* risingTable(int length);

    int m_rampSamples = 0;
    int m_period = 1;
    std::array<int, maxPeriod> m_tone{}; // the tone cycle less 128

    // Tables for lengths 1 to maxRampSamples, one after the other.
    static constexpr int tableEntries = maxPeriod * maxRampSamples * (maxRampSamples + 1) / 2;
    std::array<std::int8_t, tableEntries> m_tables{};
    std::array<bool, maxRampSamples + 1> m_tableReady{};
};

} // namespace vortan
