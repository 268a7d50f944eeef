// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/band_mixer.h"

#include "synthesis/keying.h"
#include "synthesis/morse_code.h"
#include "synthesis/random_generator.h"
#include "synthesis/sample_mixing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace vortan {

namespace {

constexpr double twoPi = 2 * std::numbers::pi;

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

// Crashes read their noise from a table at a random start; it runs on far enough that the
// longest crash starting anywhere in the first crashNoiseStarts samples stays inside it.
constexpr int crashNoiseStarts = 8192;

using sample_mixing::unit;

// The fade's grid in fixed point: gains between its points are taken with a shift.
static_assert(BandMixer::qsbStep == 1 << 8);

// A float in eighths of a sample step, towards zero.
std::int16_t eighths(float value)
{
    return static_cast<std::int16_t>(static_cast<int>(value));
}

// The fade's gain of 1 in fixed point.
constexpr int fullGain = 32767;

// The loudest mix the ranges allow, in eighths, fits 16 bits: the wanted tone (100 steps), three
// stations at +10 dB (under 317 steps each) and crashes at +20 dB (1000 steps).
static_assert(kQrmMaxLevelDb == 10 && kQrnMaxLevelDb == 20 &&
              unit * (100 + kQrmMaxStations * 317 + 1000) + unit / 2 <
                  std::numeric_limits<std::int16_t>::max());

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
    m_addedLive = false;
    std::fill(m_added.begin(), m_added.end(), std::int16_t{0});
    const std::uint64_t seeds = (std::uint64_t{bufferSeed} << 32) | sampleSeed;
    auto stream = [seeds](std::uint64_t number) {
        Random random{seeds ^ (number * 0xD1B54A32D192ED03u)};
        random.next();
        return random;
    };

    m_fade = {};
    m_gainPoint = -1;
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
        for (int k = 0; k <= fadeTableSteps; ++k) {
            m_fadeGains[static_cast<std::size_t>(k)] = static_cast<float>(
                std::pow(10.0, qsbDecibelsSwept(static_cast<double>(k) / fadeTableSteps) / 20));
        }
    }

    m_stations.clear();
    for (std::size_t i = 0; i < conditions.qrm.size(); ++i) {
        const QrmStation& given = conditions.qrm[i];
        Station station;
        station.random = stream(static_cast<std::uint64_t>(Stream::FirstStation) + i);
        const int speed =
            given.speed > 0 ? given.speed : static_cast<int>(station.random.between(60, 160));
        station.dotSamples = dotLength(speed);
        const double amplitude = unit * amplitudeOf(given.levelDb);
        // Far below the wanted tone the station folds back above 0 Hz, as a receiver's image.
        const double hz =
            std::max(60.0, std::abs(static_cast<double>(sampleRateHz) / period + given.offsetHz));
        const double phase = twoPi * station.random.real();
        // Up to two seconds before it starts calling.
        station.nextEntry = static_cast<std::int64_t>(station.random.between(0, 2 * sampleRateHz));
        // The key rises and falls over 5 ms, so that it does not click; the fall ends before
        // the next key-down, which comes a dot after the key-up at the earliest.
        const int edge = std::min(samplesOf(5), station.dotSamples);
        for (const int element : {0, 1}) {
            const int keyed = (element == 0 ? 1 : 3) * station.dotSamples;
            std::vector<std::int16_t>& sound = station.elements[static_cast<std::size_t>(element)];
            sound.resize(static_cast<std::size_t>(keyed + edge));
            for (int k = 0; k < keyed + edge; ++k) {
                const double envelope = k < keyed
                                            ? std::min(1.0, (k + 1.0) / edge)
                                            : static_cast<double>(keyed + edge - 1 - k) / edge;
                sound[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(nearest(
                    amplitude * envelope * std::sin(phase + twoPi * hz * k / sampleRateHz)));
            }
        }
        m_stations.push_back(std::move(station));
    }

    m_crashes.clear();
    m_crashNoise.clear();
    m_lastCrashEnd = std::numeric_limits<std::int64_t>::min() / 2;
    if (conditions.qrnOn()) {
        m_crashRandom = stream(static_cast<std::uint64_t>(Stream::Crashes));
        m_crashGap = sampleRateHz / conditions.qrnRate;
        const double amplitude = unit * amplitudeOf(conditions.qrnLevelDb);
        m_crashNoise.resize(static_cast<std::size_t>(crashNoiseStarts + samplesOf(45)));
        for (float& noise : m_crashNoise)
            noise = static_cast<float>(amplitude * m_crashRandom.between(-1, 1));
        m_nextCrash = static_cast<std::int64_t>(-std::log(1 - m_crashRandom.real()) * m_crashGap);
    }

    m_chirpTone.clear();
    m_shapedTones.clear();
    if (conditions.chirpOn()) {
        // The element's sample j sits at tone-buffer index j + 1, the plain tone there being
        // sin(2 pi (j + 2) / period); the chirp adds the phase its extra frequency has run up.
        const double settle = std::max(1, samplesOf(conditions.chirpMs));
        double extraCycles = 0;
        m_chirpTone.resize(static_cast<std::size_t>(longestTone) + 1);
        for (std::size_t j = 0; j < m_chirpTone.size(); ++j) {
            const double angle = twoPi * (static_cast<double>(j + 2) / period + extraCycles);
            m_chirpTone[j] = static_cast<std::int16_t>(nearest(2 * unit * 100 * std::sin(angle)));
            const double left = std::max(0.0, 1 - static_cast<double>(j) / settle);
            extraCycles += conditions.chirpHz * left * left / sampleRateHz;
        }
    }
}

const std::vector<int>& BandMixer::rampWeights(int ramp)
{
    std::vector<int>& weights = m_rampWeights[static_cast<std::size_t>(ramp)];
    if (static_cast<int>(weights.size()) != ramp) {
        weights.resize(static_cast<std::size_t>(ramp));
        for (int k = 0; k < ramp; ++k) {
            const double s = std::sin(std::numbers::pi / 2 * (k + 0.5) / ramp);
            weights[static_cast<std::size_t>(k)] = nearest(32768 * s * s);
        }
    }
    return weights;
}

double BandMixer::sweptAt(std::int64_t sample)
{
    Fade& fade = m_fade;
    while (sample >= fade.halfEnd) {
        fade.halfStart = fade.halfEnd;
        fade.halfEnd += std::max<std::int64_t>(
            1, static_cast<std::int64_t>(fade.meanHalf * fade.random.between(0.6, 1.4)));
        fade.falling = !fade.falling;
    }
    const double swept = static_cast<double>(sample - fade.halfStart) /
                         static_cast<double>(fade.halfEnd - fade.halfStart);
    // A rising half sweeps the falling one backwards.
    return fade.falling ? swept : 1 - swept;
}

double BandMixer::qsbDecibelsSwept(double swept) const
{
    return m_fade.scale * (std::cos(std::numbers::pi * swept) - 1);
}

double BandMixer::qsbDecibels(std::int64_t sample)
{
    // Each half cycle sweeps the whole cosine, so its values spread as a sine's do whatever
    // its length; only the timing is random.
    return qsbDecibelsSwept(sweptAt(sample));
}

int BandMixer::gainAtGrid(std::int64_t point)
{
    // Points are asked for in order, mostly the next one, so each is evaluated once; between
    // the falling half's table entries the gain is taken on a straight line.
    auto gainAt = [this](std::int64_t at) {
        const double place = sweptAt(at * qsbStep) * fadeTableSteps;
        const auto below = std::min(static_cast<int>(place), fadeTableSteps - 1);
        const auto fraction = static_cast<float>(place - below);
        const float low = m_fadeGains[static_cast<std::size_t>(below)];
        const float gain =
            low + (m_fadeGains[static_cast<std::size_t>(below) + 1] - low) * fraction;
        return static_cast<int>(gain * static_cast<float>(fullGain) + 0.5f);
    };
    if (point != m_gainPoint) {
        m_gains = point == m_gainPoint + 1 ? std::array{m_gains[1], gainAt(point + 1)}
                                           : std::array{gainAt(point), gainAt(point + 1)};
        m_gainPoint = point;
    }
    return m_gains[0];
}

void BandMixer::fillGains(int count)
{
    // Each run's gain is taken on a straight line between the grid points around its start.
    constexpr int run = sample_mixing::gainRun;
    const int runs = (count + run - 1) / run;
    int first = 0;
    while (first < runs) {
        const std::int64_t point = (m_position + first * run) / qsbStep;
        const int low = gainAtGrid(point);
        const int slope = m_gains[1] - low;
        // Where the block starts after the grid point; the runs that start before the next.
        const auto offset = static_cast<int>(m_position - point * qsbStep);
        const auto end = static_cast<int>(
            std::min<std::int64_t>(runs, ((point + 1) * qsbStep - m_position + run - 1) / run));
        for (int k = first; k < end; ++k) {
            m_gain[static_cast<std::size_t>(k)] =
                static_cast<std::int16_t>(low + ((slope * (k * run + offset)) >> 8));
        }
        first = end;
    }
}

std::pair<bool, int> BandMixer::nextKeying(Station& station)
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
    return station.keying[station.next++];
}

std::int16_t* BandMixer::added()
{
    // The last block's mix left it at zero.
    m_addedLive = true;
    return m_added.data();
}

void BandMixer::addStations(int count)
{
    const std::int64_t end = m_position + count;
    for (Station& station : m_stations) {
        for (;;) {
            if (station.sounding != nullptr) {
                const std::vector<std::int16_t>& sound = *station.sounding;
                const std::int64_t soundEnd =
                    station.soundingFrom + static_cast<std::int64_t>(sound.size());
                const std::int64_t from = std::max(station.soundingFrom, m_position);
                const auto length = static_cast<int>(std::min(soundEnd, end) - from);
                std::int16_t* const target = added() + (from - m_position);
                const std::int16_t* const source =
                    &sound[static_cast<std::size_t>(from - station.soundingFrom)];
                sample_mixing::addSamples(target, source, length);
                if (soundEnd > end)
                    break;
                station.sounding = nullptr;
            }
            if (station.nextEntry >= end)
                break;
            const auto [keyed, samples] = nextKeying(station);
            if (keyed) {
                station.sounding = &station.elements[samples == station.dotSamples ? 0 : 1];
                station.soundingFrom = station.nextEntry;
            }
            station.nextEntry += samples;
        }
    }
}

void BandMixer::addCrashes(int count)
{
    const std::int64_t end = m_position + count;
    // A crash due while the last one lasts waits for it, so that each stays one crash: the
    // count keeps the rate, only the times move a little.
    auto nextStart = [this] { return std::max(m_nextCrash, m_lastCrashEnd + samplesOf(5)); };
    while (nextStart() < end) {
        // Each crash lasts 10 to 45 ms: a 1 ms rise, then a fast decay.
        const int length = static_cast<int>(m_crashRandom.between(samplesOf(10), samplesOf(45)));
        const std::int64_t start = nextStart();
        m_crashes.push_back(
            {start, length, static_cast<int>(m_crashRandom.next() % crashNoiseStarts)});
        m_lastCrashEnd = start + length;
        m_nextCrash +=
            1 + static_cast<std::int64_t>(-std::log(1 - m_crashRandom.real()) * m_crashGap);
    }
    const int rise = samplesOf(1);
    for (const Crash& crash : m_crashes) {
        int k = static_cast<int>(std::max(crash.start, m_position) - crash.start);
        const auto last = static_cast<int>(std::min(crash.start + crash.length, end) - crash.start);
        if (k >= last)
            continue;
        // Sample k of the crash lands at target[k].
        std::int16_t* const target = added() + (crash.start - m_position);
        const float* const noise = &m_crashNoise[static_cast<std::size_t>(crash.noiseFrom)];
        for (; k < std::min(rise, last); ++k) {
            const float envelope = static_cast<float>(k + 1) / static_cast<float>(rise);
            target[k] = static_cast<std::int16_t>(target[k] + eighths(noise[k] * envelope));
        }
        const float perSample = 1.0f / static_cast<float>(crash.length - rise);
        for (; k < last; ++k) {
            const float left = static_cast<float>(crash.length - k) * perSample;
            target[k] = static_cast<std::int16_t>(target[k] + eighths(noise[k] * (left * left)));
        }
    }
    std::erase_if(m_crashes,
                  [end](const Crash& crash) { return crash.start + crash.length <= end; });
}

const std::int16_t* BandMixer::chirpedTone(int count, int ramp)
{
    for (const ShapedTone& shaped : m_shapedTones) {
        if (shaped.count == count && shaped.ramp == ramp)
            return shaped.samples.data();
    }
    // Plain keying has two lengths, soft keying and a straight key a few more; beyond that
    // each element is shaped as it comes.
    constexpr std::size_t mostShapes = 16;
    std::int16_t* tone = m_tone.data();
    if (m_shapedTones.size() < mostShapes) {
        m_shapedTones.push_back(
            {count, ramp, std::vector<std::int16_t>(static_cast<std::size_t>(count))});
        tone = m_shapedTones.back().samples.data();
    }
    // Within the soft keying's edges; an element shorter than two ramps meets in its middle.
    std::copy_n(m_chirpTone.begin(), count, tone);
    const std::vector<int>& weights = rampWeights(ramp);
    const int half = (count + 1) / 2;
    for (int j = 0; j < std::min(ramp, half); ++j)
        tone[j] = static_cast<std::int16_t>((tone[j] * weights[static_cast<std::size_t>(j)]) >> 15);
    for (int j = std::max(half, count - ramp); j < count; ++j) {
        tone[j] = static_cast<std::int16_t>(
            (tone[j] * weights[static_cast<std::size_t>(count - 1 - j)]) >> 15);
    }
    return tone;
}

const std::int16_t* BandMixer::wantedTone(const std::uint8_t* samples, const std::uint8_t* noise,
                                          int count, int ramp)
{
    // The tone at full strength: the chirped one, or the plain one as rendered.
    const std::int16_t* tone = m_tone.data();
    if (m_conditions.chirpOn()) {
        tone = chirpedTone(count, ramp);
    } else {
        for (int j = 0; j < count; ++j)
            m_tone[static_cast<std::size_t>(j)] =
                static_cast<std::int16_t>(2 * unit * (samples[j] - noise[j]));
    }
    if (m_conditions.qsbOn()) {
        fillGains(count);
        return tone;
    }
    std::int16_t* const wanted = added();
    for (int j = 0; j < count; ++j)
        wanted[j] = static_cast<std::int16_t>(tone[j] >> 1);
    return nullptr;
}

const std::uint8_t* BandMixer::mix(const std::uint8_t* samples, const std::uint8_t* base, int count,
                                   const std::int16_t* tone)
{
    addStations(count);
    if (m_conditions.qrnOn())
        addCrashes(count);
    const std::uint8_t* mixed = samples;
    if (m_addedLive || tone != nullptr) {
        const sample_mixing::Inputs inputs{base, m_addedLive ? m_added.data() : nullptr, tone,
                                           tone != nullptr ? m_gain.data() : nullptr};
        m_clipped += sample_mixing::mix(inputs, m_out.data(), count);
        mixed = m_out.data();
    }
    m_addedLive = false;
    m_position += count;
    return mixed;
}

void BandMixer::reserve(int count)
{
    const auto size = static_cast<std::size_t>(count);
    if (m_out.size() < size) {
        m_added.resize(size);
        m_tone.resize(size);
        m_gain.resize(size / sample_mixing::gainRun + 1);
        m_out.resize(size);
    }
}

const std::uint8_t* BandMixer::mixTone(const std::uint8_t* samples, const std::uint8_t* noise,
                                       int count, int ramp)
{
    reserve(count);
    // Reshaped, the wanted tone is computed anew over the noise alone; otherwise it stays in
    // the samples as they are.
    if (m_conditions.chirpOn() || m_conditions.qsbOn())
        return mix(samples, noise, count, wantedTone(samples, noise, count, ramp));
    return mix(samples, samples, count, nullptr);
}

const std::uint8_t* BandMixer::mixGap(const std::uint8_t* samples, int count)
{
    reserve(count);
    return mix(samples, samples, count, nullptr);
}

} // namespace vortan
