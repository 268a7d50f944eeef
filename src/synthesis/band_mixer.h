// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/band_conditions.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vortan {

// Mixes the band conditions into the blocks of a rendering as they are written: the wanted
// signal fades (QSB) and may chirp, other stations (QRM) and static crashes (QRN) are added,
// and the sum goes back into 8-bit samples, clipped at 0 and 255 and counted.
//
// Everything random comes from the two seeds of the rendering through generators of the mixer's
// own, one per condition, so the program's shared generator draws exactly as without conditions
// and one condition switched on or off leaves the others as they were.
//
// The work per sample is a few multiply-adds over float blocks: the fade is evaluated every
// qsbStep samples and interpolated, the stations read a sine table, crashes touch only their
// own samples.
class BandMixer {
public:
    static constexpr int qsbStep = 32;

    // Starts a rendering. conditions: checked already (checkConditions); period: the wanted
    // tone's cycle in samples; longestTone: the longest tone element in samples.
    void start(const BandConditions& conditions, std::uint32_t bufferSeed, std::uint32_t sampleSeed,
               int period, int longestTone);

    // A tone element of `count` samples in place: samples[] the plain rendering's bytes,
    // noise[] the background noise alone in each (around 128), ramp the element's own rise
    // and fall in samples.
    void mixTone(std::uint8_t* samples, const std::uint8_t* noise, int count, int ramp);
    // A gap of `count` samples in place: noise only.
    void mixGap(std::uint8_t* samples, int count);

    // Samples that left the 8-bit range since start() and were held at its end.
    std::int64_t clippedSamples() const { return m_clipped; }

    // The fade in dB (0 at the strongest, down to about -depth) at an absolute sample; for
    // tests. Calls must come in order of sample.
    double qsbDecibels(std::int64_t sample);

private:
    // The mix of one block: m_wanted holds the wanted signal less 128 (keyed and faded), m_added
    // gets the stations and crashes, and `base` is the background (around 128).
    void addOthers(int count);
    void finish(std::uint8_t* samples, const std::uint8_t* base, int count, bool tone);
    void applyFade(int count);
    const std::vector<float>& rampWeights(int ramp);

    struct Random {
        std::uint64_t state = 0;
        std::uint64_t next();
        double real(); // [0, 1)
        double between(double low, double high) { return low + (high - low) * real(); }
    };

    struct Fade {
        Random random;
        double meanHalf = 0; // samples of half a fade cycle on average
        double scale = 0;    // dB per unit of the cosine
        double top = 0;      // dB at the cosine's +1
        std::int64_t halfStart = 0;
        std::int64_t halfEnd = 0;
        bool falling = true;
    };

    struct Station {
        Random random;
        int dotSamples = 0;
        float amplitude = 0;
        std::uint32_t phase = 0;
        std::uint32_t phaseStep = 0;
        float envelope = 0;
        bool keyed = false;
        std::int64_t remaining = 0;               // samples left in the current key state
        std::vector<std::pair<bool, int>> keying; // the message in progress: key state, samples
        std::size_t next = 0;
    };
    void nextKeying(Station& station);

    struct Crash {
        std::int64_t start = 0;
        int length = 0;
        float amplitude = 0;
        std::uint32_t noise = 0;
    };

    BandConditions m_conditions;
    std::int64_t m_position = 0;
    std::int64_t m_clipped = 0;
    std::vector<float> m_wanted;
    std::vector<float> m_added;
    std::vector<float> m_chirpTone; // the chirped tone less 128 at tone-buffer indices, unramped
    std::array<std::vector<float>, 111> m_rampWeights;
    Fade m_fade;
    std::vector<Station> m_stations;
    Random m_crashRandom;
    std::vector<Crash> m_crashes;
    std::int64_t m_nextCrash = 0;
    std::int64_t m_lastCrashEnd = 0;
    float m_crashAmplitude = 0;
    double m_crashGap = 0; // mean samples between crashes
};

} // namespace vortan
