// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/band_conditions.h"

#include <array>
#include <cstdint>
#include <utility>
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
// The work per sample is kept to a few additions of 16-bit integers (eighths of a sample step)
// in one pass over each block (sample_mixing): a station's dot and dash are computed once per
// rendering (each key-down starts its oscillator afresh, as the wanted tone does) and only added
// where they sound, the chirped tone is shaped once for each element length, the fade is
// evaluated every qsbStep samples and interpolated in fixed point for runs of a few samples,
// crashes touch only their own samples, and a block nothing is added to is passed on as it is. The
// loudest mix the ranges allow (three stations at +10 dB, crashes at +20 dB) stays below 2100
// sample steps, well inside 16 bits.
class BandMixer {
public:
    static constexpr int qsbStep = 256;

    // Starts a rendering. conditions: checked already (checkConditions); period: the wanted
    // tone's cycle in samples; longestTone: the longest tone element in samples.
    void start(const BandConditions& conditions, std::uint32_t bufferSeed, std::uint32_t sampleSeed,
               int period, int longestTone);

    // A tone element of `count` samples: samples[] the plain rendering's bytes, noise[] the
    // background noise alone in each (around 128), ramp the element's own rise and fall in
    // samples. Returns the mixed samples: `samples` itself when nothing changes them, else a
    // buffer of the mixer's, valid until its next call.
    const std::uint8_t* mixTone(const std::uint8_t* samples, const std::uint8_t* noise, int count,
                                int ramp);
    // Whether mixTone makes the wanted tone anew (chirped) and reads no plain samples; it may
    // then be given none.
    bool replacesTone() const { return m_conditions.chirpOn(); }
    // A gap of `count` samples, noise only; returns as mixTone does.
    const std::uint8_t* mixGap(const std::uint8_t* samples, int count);

    // Samples that left the 8-bit range since start() and were held at its end.
    std::int64_t clippedSamples() const { return m_clipped; }

    // The fade in dB (0 at the strongest, down to about -depth) at an absolute sample; for
    // tests. Calls must come in order of sample.
    double qsbDecibels(std::int64_t sample);

private:
    void reserve(int count);
    // Adds the others to the block and mixes it over base[]; tone: the faded wanted tone's
    // samples (in sixteenths) to add, or none.
    const std::uint8_t* mix(const std::uint8_t* samples, const std::uint8_t* base, int count,
                            const std::int16_t* tone);
    // m_added, for something to be added to this block.
    std::int16_t* added();
    void addStations(int count);
    void addCrashes(int count);
    // The wanted tone less 128, keyed and chirped, in sixteenths of a step: to be faded (the
    // gains in m_gain) when QSB is on, else already added to m_added; returns the tone to fade.
    const std::int16_t* wantedTone(const std::uint8_t* samples, const std::uint8_t* noise,
                                   int count, int ramp);
    // The chirped tone with the element's rise and fall, kept for the lengths met first.
    const std::int16_t* chirpedTone(int count, int ramp);
    // The fade's gain (32767 for 1) for each run of sample_mixing::gainRun samples of the block,
    // into m_gain.
    void fillGains(int count);
    // How far the fade has swept its falling half at an absolute sample, 0 to 1; calls in order.
    double sweptAt(std::int64_t sample);
    double qsbDecibelsSwept(double swept) const;
    int gainAtGrid(std::int64_t point);
    const std::vector<int>& rampWeights(int ramp);

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
        std::int64_t halfStart = 0;
        std::int64_t halfEnd = 0;
        bool falling = true;
    };

    struct Station {
        Random random;
        int dotSamples = 0;
        // A dot and a dash as they sound: rise, keyed tone, and the fall after the key-up.
        std::array<std::vector<std::int16_t>, 2> elements;
        const std::vector<std::int16_t>* sounding = nullptr;
        std::int64_t soundingFrom = 0;            // absolute sample where it started
        std::int64_t nextEntry = 0;               // absolute sample where the next key state starts
        std::vector<std::pair<bool, int>> keying; // the message in progress: key state, samples
        std::size_t next = 0;
    };
    // The station's next key state and its length in samples.
    std::pair<bool, int> nextKeying(Station& station);

    struct Crash {
        std::int64_t start = 0;
        int length = 0;
        int noiseFrom = 0; // where in m_crashNoise its noise starts
    };

    BandConditions m_conditions;
    std::int64_t m_position = 0;
    std::int64_t m_clipped = 0;
    bool m_addedLive = false;          // m_added holds something for the block in hand
    std::vector<std::int16_t> m_added; // in eighths of a sample step
    std::vector<std::int16_t> m_tone;  // a wanted tone shaped for this block only, in sixteenths
    std::vector<std::int16_t> m_gain;  // for each run of samples
    std::vector<std::uint8_t> m_out;
    // The chirped tone less 128 at tone-buffer indices, unramped, in sixteenths.
    std::vector<std::int16_t> m_chirpTone;
    struct ShapedTone {
        int count = 0;
        int ramp = 0;
        std::vector<std::int16_t> samples;
    };
    std::vector<ShapedTone> m_shapedTones;
    std::array<std::vector<int>, 111> m_rampWeights; // in 1 / 32768
    Fade m_fade;
    static constexpr int fadeTableSteps = 1024;
    std::array<float, fadeTableSteps + 1> m_fadeGains{}; // over the falling half's sweep
    std::int64_t m_gainPoint = -1; // the grid point whose gain m_gains[0] holds
    std::array<int, 2> m_gains{};
    std::vector<Station> m_stations;
    Random m_crashRandom;
    std::vector<float> m_crashNoise; // white noise, uniform in -1 to 1, times the crash level
                                     // in eighths
    std::vector<Crash> m_crashes;
    std::int64_t m_nextCrash = 0;
    std::int64_t m_lastCrashEnd = 0;
    double m_crashGap = 0; // mean samples between crashes
};

} // namespace vortan
