// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/band_mixer.h"

#include "synthesis/keying.h"
#include "synthesis/morse_code.h"
#include "synthesis/random_generator.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace vortan {

namespace {

constexpr int sineTableBits = 12;
constexpr double twoPi = 2 * std::numbers::pi;

const std::array<float, 1 << sineTableBits>& sineTable()
{
    static const auto table = [] {
        std::array<float, 1 << sineTableBits> values{};
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<float>(
                std::sin(twoPi * static_cast<double>(i) / static_cast<double>(values.size())));
        return values;
    }();
    return table;
}

// The 5th and 95th percentiles of a cosine swept at any speed lie at -+cos(0.05 pi).
const double cosinePercentile = std::cos(0.05 * std::numbers::pi);

float amplitudeOf(int levelDb)
{
    // The wanted signal's keyed amplitude is 100 sample steps.
    return static_cast<float>(100 * std::pow(10.0, levelDb / 20.0));
}

int samplesOf(double milliseconds)
{
    return nearest(milliseconds * sampleRateHz / 1000);
}

// Streams of the mixer's generator, one per condition, so each keeps its draws whatever the
// others do.
enum class Stream : std::uint64_t { Fade = 1, Crashes = 2, FirstStation = 3 };

} // namespace

std::uint64_t BandMixer::Random::next()
{
    // splitmix64: fast, and good enough that nearby seeds give unrelated conditions.
    std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

double BandMixer::Random::real()
{
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

void BandMixer::start(const BandConditions& conditions, std::uint32_t bufferSeed,
                      std::uint32_t sampleSeed, int period, int longestTone)
{
    m_conditions = conditions;
    m_position = 0;
    m_clipped = 0;
    const std::uint64_t seeds = (std::uint64_t{bufferSeed} << 32) | sampleSeed;
    auto stream = [seeds](std::uint64_t number) {
        Random random{seeds ^ (number * 0xD1B54A32D192ED03u)};
        random.next();
        return random;
    };

    m_fade = {};
    if (conditions.qsbOn()) {
        m_fade.random = stream(static_cast<std::uint64_t>(Stream::Fade));
        m_fade.meanHalf = sampleRateHz / conditions.qsbRate / 2;
        // Scaled so that the percentiles lie `depth` apart, the strongest point at 0 dB.
        m_fade.scale = conditions.qsbDepthDb / (2 * cosinePercentile);
        const auto first =
            static_cast<std::int64_t>(m_fade.meanHalf * m_fade.random.between(0.6, 1.4));
        m_fade.halfStart =
            -static_cast<std::int64_t>(static_cast<double>(first) * m_fade.random.real());
        m_fade.halfEnd = m_fade.halfStart + first;
        m_fade.falling = m_fade.random.real() < 0.5;
    }

    m_stations.clear();
    for (std::size_t i = 0; i < conditions.qrm.size(); ++i) {
        const QrmStation& given = conditions.qrm[i];
        Station station;
        station.random = stream(static_cast<std::uint64_t>(Stream::FirstStation) + i);
        const int speed =
            given.speed > 0 ? given.speed : static_cast<int>(station.random.between(60, 160));
        station.dotSamples = dotLength(speed);
        station.amplitude = amplitudeOf(given.levelDb);
        // Far below the wanted tone the station folds back above 0 Hz, as a receiver's image.
        const double hz =
            std::max(60.0, std::abs(static_cast<double>(sampleRateHz) / period + given.offsetHz));
        station.phaseStep = static_cast<std::uint32_t>(hz / sampleRateHz * 0x1.0p32);
        station.phase = static_cast<std::uint32_t>(station.random.next());
        // Up to two seconds before it starts calling.
        station.remaining = static_cast<std::int64_t>(station.random.between(0, 2 * sampleRateHz));
        m_stations.push_back(std::move(station));
    }

    m_crashes.clear();
    m_lastCrashEnd = std::numeric_limits<std::int64_t>::min() / 2;
    if (conditions.qrnOn()) {
        m_crashRandom = stream(static_cast<std::uint64_t>(Stream::Crashes));
        m_crashGap = sampleRateHz / conditions.qrnRate;
        m_crashAmplitude = amplitudeOf(conditions.qrnLevelDb);
        m_nextCrash = static_cast<std::int64_t>(-std::log(1 - m_crashRandom.real()) * m_crashGap);
    }

    m_chirpTone.clear();
    if (conditions.chirpOn()) {
        // The element's sample j sits at tone-buffer index j + 1, the plain tone there being
        // sin(2 pi (j + 2) / period); the chirp adds the phase its extra frequency has run up.
        const double settle = std::max(1, samplesOf(conditions.chirpMs));
        double extraCycles = 0;
        m_chirpTone.resize(static_cast<std::size_t>(longestTone) + 1);
        for (std::size_t j = 0; j < m_chirpTone.size(); ++j) {
            const double angle = twoPi * (static_cast<double>(j + 2) / period + extraCycles);
            m_chirpTone[j] = static_cast<float>(100 * std::sin(angle));
            const double left = std::max(0.0, 1 - static_cast<double>(j) / settle);
            extraCycles += conditions.chirpHz * left * left / sampleRateHz;
        }
    }
}

const std::vector<float>& BandMixer::rampWeights(int ramp)
{
    std::vector<float>& weights = m_rampWeights[static_cast<std::size_t>(ramp)];
    if (static_cast<int>(weights.size()) != ramp) {
        weights.resize(static_cast<std::size_t>(ramp));
        for (int k = 0; k < ramp; ++k) {
            const double s = std::sin(std::numbers::pi / 2 * (k + 0.5) / ramp);
            weights[static_cast<std::size_t>(k)] = static_cast<float>(s * s);
        }
    }
    return weights;
}

double BandMixer::qsbDecibels(std::int64_t sample)
{
    Fade& fade = m_fade;
    while (sample >= fade.halfEnd) {
        fade.halfStart = fade.halfEnd;
        fade.halfEnd += std::max<std::int64_t>(
            1, static_cast<std::int64_t>(fade.meanHalf * fade.random.between(0.6, 1.4)));
        fade.falling = !fade.falling;
    }
    // Each half cycle sweeps the whole cosine, so its values spread as a sine's do whatever
    // its length; only the timing is random.
    const double swept = static_cast<double>(sample - fade.halfStart) /
                         static_cast<double>(fade.halfEnd - fade.halfStart);
    const double x = std::cos(std::numbers::pi * swept) * (fade.falling ? 1 : -1);
    return fade.scale * (x - 1);
}

void BandMixer::applyFade(int count)
{
    auto gainAt = [this](std::int64_t sample) {
        return static_cast<float>(std::pow(10.0, qsbDecibels(sample) / 20));
    };
    float from = gainAt(m_position);
    for (int chunk = 0; chunk < count; chunk += qsbStep) {
        const float to = gainAt(m_position + chunk + qsbStep);
        const int end = std::min(count, chunk + qsbStep);
        const float step = (to - from) / qsbStep;
        for (int j = chunk; j < end; ++j)
            m_wanted[static_cast<std::size_t>(j)] *= from + step * static_cast<float>(j - chunk);
        from = to;
    }
}

void BandMixer::nextKeying(Station& station)
{
    if (station.next == station.keying.size()) {
        // A new call: a CQ, an answer or a few five-letter groups, then a pause.
        Random& random = station.random;
        auto letters = [&random](int count, std::string_view from) {
            std::string text;
            for (int i = 0; i < count; ++i)
                text += from[static_cast<std::size_t>(random.next() % from.size())];
            return text;
        };
        constexpr std::string_view alphabet = "abcdefghijklmnopqrstuvwxyz";
        constexpr std::string_view digits = "0123456789";
        auto call = [&] {
            return letters(2, alphabet) + letters(1, digits) + letters(3, alphabet);
        };
        std::string text;
        switch (random.next() % 3) {
        case 0:
            text = "cq cq de " + call();
            text += " " + text.substr(9) + " k";
            break;
        case 1:
            text = call() + " de " + call() + " rst 5" + letters(1, "3456789") + "9 k";
            break;
        default:
            for (int group = 0; group < 4; ++group)
                text += letters(5, alphabet) + " ";
        }
        station.keying.clear();
        station.next = 0;
        RandomGenerator unused; // the jitter it draws for is 0
        std::array<Segment, 2> segments;
        for (const char symbol : txtotr(text)) {
            const int count = keysymbol(symbol, station.dotSamples, 3 * station.dotSamples, 0, 0,
                                        unused, segments);
            for (int i = 0; i < count; ++i)
                station.keying.emplace_back(segments[i].kind == SegmentKind::Tone,
                                            segments[i].sampleCount);
        }
        station.keying.emplace_back(false, static_cast<int>(random.between(0.5, 3) * sampleRateHz));
    }
    const auto [keyed, samples] = station.keying[station.next++];
    station.keyed = keyed;
    station.remaining = samples;
}

void BandMixer::addOthers(int count)
{
    std::fill_n(m_added.begin(), count, 0.0f);
    const auto& sine = sineTable();
    // A station's key rises and falls over 5 ms, so that it does not click.
    const float keyStep = 1.0f / static_cast<float>(samplesOf(5));
    for (Station& station : m_stations) {
        int j = 0;
        while (j < count) {
            if (station.remaining == 0)
                nextKeying(station);
            const int run = static_cast<int>(std::min<std::int64_t>(station.remaining, count - j));
            if (!station.keyed && station.envelope == 0) {
                station.phase += station.phaseStep * static_cast<std::uint32_t>(run);
            } else {
                for (int k = j; k < j + run; ++k) {
                    station.envelope = station.keyed ? std::min(1.0f, station.envelope + keyStep)
                                                     : std::max(0.0f, station.envelope - keyStep);
                    m_added[static_cast<std::size_t>(k)] +=
                        station.amplitude * station.envelope *
                        sine[station.phase >> (32 - sineTableBits)];
                    station.phase += station.phaseStep;
                }
            }
            j += run;
            station.remaining -= run;
        }
    }

    if (!m_conditions.qrnOn())
        return;
    const std::int64_t end = m_position + count;
    // A crash due while the last one lasts waits for it, so that each stays one crash: the
    // count keeps the rate, only the times move a little.
    auto nextStart = [this] { return std::max(m_nextCrash, m_lastCrashEnd + samplesOf(5)); };
    while (nextStart() < end) {
        // Each crash lasts 10 to 45 ms: a 1 ms rise, then a fast decay.
        const int length = static_cast<int>(m_crashRandom.between(samplesOf(10), samplesOf(45)));
        const std::int64_t start = nextStart();
        m_crashes.push_back({start, length, m_crashAmplitude,
                             static_cast<std::uint32_t>(m_crashRandom.next()) | 1u});
        m_lastCrashEnd = start + length;
        m_nextCrash +=
            1 + static_cast<std::int64_t>(-std::log(1 - m_crashRandom.real()) * m_crashGap);
    }
    const int rise = samplesOf(1);
    for (Crash& crash : m_crashes) {
        const std::int64_t first = std::max(crash.start, m_position);
        const std::int64_t last = std::min(crash.start + crash.length, end);
        for (std::int64_t t = first; t < last; ++t) {
            const auto k = static_cast<int>(t - crash.start);
            float envelope = 1;
            if (k < rise) {
                envelope = static_cast<float>(k + 1) / static_cast<float>(rise);
            } else {
                const float left =
                    static_cast<float>(crash.length - k) / static_cast<float>(crash.length - rise);
                envelope = left * left;
            }
            // xorshift32: white noise, uniform in -1 to 1.
            crash.noise ^= crash.noise << 13;
            crash.noise ^= crash.noise >> 17;
            crash.noise ^= crash.noise << 5;
            const float white = static_cast<float>(crash.noise) * 0x1.0p-31f - 1.0f;
            m_added[static_cast<std::size_t>(t - m_position)] += crash.amplitude * envelope * white;
        }
    }
    std::erase_if(m_crashes,
                  [end](const Crash& crash) { return crash.start + crash.length <= end; });
}

void BandMixer::finish(std::uint8_t* samples, const std::uint8_t* base, int count, bool tone)
{
    std::int64_t clipped = 0;
    for (int j = 0; j < count; ++j) {
        const auto i = static_cast<std::size_t>(j);
        float value = static_cast<float>(base[j]) + m_added[i] + (tone ? m_wanted[i] : 0.0f);
        clipped += (value < 0.0f) | (value > 255.0f);
        value = std::clamp(value, 0.0f, 255.0f);
        samples[j] = static_cast<std::uint8_t>(value + 0.5f);
    }
    m_clipped += clipped;
}

void BandMixer::mixTone(std::uint8_t* samples, const std::uint8_t* noise, int count, int ramp)
{
    if (static_cast<int>(m_wanted.size()) < count) {
        m_wanted.resize(static_cast<std::size_t>(count));
        m_added.resize(static_cast<std::size_t>(count));
    }
    if (m_conditions.chirpOn()) {
        const std::vector<float>& weights = rampWeights(ramp);
        for (int j = 0; j < count; ++j) {
            const int fromEdge = std::min(j, count - 1 - j);
            const float weight = fromEdge < ramp ? weights[static_cast<std::size_t>(fromEdge)] : 1;
            m_wanted[static_cast<std::size_t>(j)] =
                weight * m_chirpTone[static_cast<std::size_t>(j)];
        }
    } else {
        for (int j = 0; j < count; ++j)
            m_wanted[static_cast<std::size_t>(j)] = static_cast<float>(samples[j] - noise[j]);
    }
    if (m_conditions.qsbOn())
        applyFade(count);
    addOthers(count);
    finish(samples, noise, count, true);
    m_position += count;
}

void BandMixer::mixGap(std::uint8_t* samples, int count)
{
    if (static_cast<int>(m_added.size()) < count) {
        m_wanted.resize(static_cast<std::size_t>(count));
        m_added.resize(static_cast<std::size_t>(count));
    }
    addOthers(count);
    finish(samples, samples, count, false);
    m_position += count;
}

} // namespace vortan
