// SPDX-License-Identifier: GPL-3.0-or-later
// The band conditions measured in rendered files by their own definitions.
#include "support/test_files.h"
#include "synthesis/morse_code.h"
#include "synthesis/synthesizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>

using namespace vortan;

namespace {

const test::ScratchFolder scratch;
constexpr double rateHz = sampleRateHz;

struct Rendering {
    std::vector<std::uint8_t> samples; // without the header
    std::int64_t clipped = 0;
};

// Renders with the generator at bufferSeed and the clock at sampleSeed.
Rendering render(std::string_view text, const SynthesisSettings& settings,
                 const BandConditions& conditions, std::uint32_t bufferSeed = 99,
                 std::uint32_t sampleSeed = 1234567, int riseMs = 0)
{
    RandomGenerator random;
    random.setSeed(bufferSeed);
    const FixedClock clock(sampleSeed);
    auto synthesizer = std::make_unique<Synthesizer>(random, clock);
    synthesizer->setBandConditions(conditions);
    synthesizer->txtofile(scratch / "band.wav", text, settings, riseMs);
    auto bytes = test::readBytes(scratch / "band.wav");
    return {{bytes.begin() + 44, bytes.end()}, synthesizer->lastClippedSamples()};
}

double decibels(double ratio)
{
    return 20 * std::log10(std::max(ratio, 1e-3));
}

double percentile(std::vector<double> values, double fraction)
{
    const auto at = values.begin() + static_cast<std::ptrdiff_t>(fraction * (values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// The amplitude of the tone at `hz` in the Hann-windowed block of `length` from `first`.
double amplitudeAt(const std::vector<std::uint8_t>& samples, std::size_t first, int length,
                   double hz)
{
    std::complex<double> sum;
    double weights = 0;
    for (int n = 0; n < length; ++n) {
        const double w = 0.5 - 0.5 * std::cos(2 * M_PI * n / length);
        sum += w * (samples[first + n] - 128.0) * std::polar(1.0, -2 * M_PI * hz * n / rateHz);
        weights += w;
    }
    return 2 * std::abs(sum) / weights;
}

// Many dashes at speed 250 with dot gaps: the keyed envelope is sampled densely.
std::string dashes(double seconds)
{
    // "0" is five dashes and a gap: 4485 samples.
    return std::string(static_cast<std::size_t>(seconds * rateHz / 4485), '0');
}

const SynthesisSettings fast{.speed = 250};

} // namespace

TEST(BandConditions, AllOffKeepsEveryByte)
{
    // The letter e as worked out by hand, also from a synthesizer that rendered conditions
    // before, and with conditions present but each at its off value.
    std::vector<std::uint8_t> expected;
    const std::uint8_t cycle[] = {192, 215, 226, 226, 215, 192, 162, 128, 94,
                                  64,  41,  30,  30,  41,  64,  94,  128, 162};
    for (int i = 0; i < 812; ++i)
        expected.push_back(cycle[i % 18]);
    expected.insert(expected.end(), 3248, 128);
    BandConditions offValues;
    offValues.qsbRate = 1;     // no depth: no fading
    offValues.qrnLevelDb = 10; // no rate: no static
    offValues.chirpMs = 200;   // no shift: no chirp
    ASSERT_FALSE(offValues.any());
    EXPECT_EQ(render("e", {}, {}).samples, expected);
    EXPECT_EQ(render("e", {}, offValues).samples, expected);

    RandomGenerator random;
    const FixedClock clock(1234567);
    Synthesizer synthesizer(random, clock);
    const SynthesisSettings noisy{.speed = 97, .noise = 37, .straight = 73};
    synthesizer.setBandConditions(namedConditions()[2].conditions);
    synthesizer.txtofile(scratch / "on.wav", "paris", noisy, 5);
    synthesizer.setBandConditions(namedConditions()[0].conditions);
    random.setSeed(7);
    synthesizer.txtofile(scratch / "off.wav", "paris", noisy, 5);
    RandomGenerator fresh;
    fresh.setSeed(7);
    std::make_unique<Synthesizer>(fresh, clock)->txtofile(scratch / "plain.wav", "paris", noisy, 5);
    EXPECT_TRUE(test::readBytes(scratch / "off.wav") == test::readBytes(scratch / "plain.wav"));
    EXPECT_EQ(synthesizer.lastClippedSamples(), 0);
}

TEST(BandConditions, FadingMeetsItsDepthAndRate)
{
    const std::pair<double, int> rows[] = {{0.2, 10}, {0.5, 3}, {1, 20}, {2, 30}};
    for (const auto& [rate, depthDb] : rows) {
        BandConditions conditions;
        conditions.qsbRate = rate;
        conditions.qsbDepthDb = depthDb;
        const std::string text = dashes(std::max(60.0, 30 / rate));
        const auto faded = render(text, fast, conditions).samples;
        const auto plain = render(text, fast, {}).samples;
        ASSERT_EQ(faded.size(), plain.size());

        // The keyed envelope: in blocks of 64 samples, the faded signal's size over the plain
        // one's, where the plain tone is well away from its zero crossings.
        std::vector<double> envelope;
        for (std::size_t first = 0; first + 64 <= plain.size(); first += 64) {
            double fadedSum = 0, plainSum = 0;
            int used = 0;
            for (std::size_t i = first; i < first + 64; ++i) {
                if (std::abs(plain[i] - 128) >= 30) {
                    fadedSum += std::abs(faded[i] - 128);
                    plainSum += std::abs(plain[i] - 128);
                    ++used;
                }
            }
            if (used >= 16)
                envelope.push_back(decibels(fadedSum / plainSum));
        }
        const double high = percentile(envelope, 0.95);
        const double low = percentile(envelope, 0.05);
        const double middle = (high + low) / 2;
        const double hysteresis = std::max(0.5, depthDb / 10.0);
        int crossings = 0;
        bool above = envelope.front() > middle;
        for (const double level : envelope) {
            if (above && level < middle - hysteresis)
                ++crossings, above = false;
            else if (!above && level > middle + hysteresis)
                above = true;
        }
        const double measuredRate = crossings / (static_cast<double>(plain.size()) / rateHz);
        EXPECT_NEAR(high - low, depthDb, 3) << "rate " << rate << " depth " << depthDb;
        EXPECT_NEAR(measuredRate, rate, 0.3 * rate) << "rate " << rate << " depth " << depthDb;
        // The fade only weakens: the signal's level is the one the settings say.
        EXPECT_NEAR(percentile(envelope, 0.99), 0, 0.5);
    }
}

TEST(BandConditions, OtherStationsAtTheirOffsetAndLevel)
{
    const std::pair<int, int> rows[] = {{300, -6}, {-300, 0}, {500, -20}, {-150, -10}};
    for (const auto& [offsetHz, levelDb] : rows) {
        BandConditions conditions;
        conditions.qrm = {{.offsetHz = offsetHz, .levelDb = levelDb, .speed = 0}};
        const auto samples = render(dashes(60), fast, conditions).samples;
        const double wantedHz = rateHz / 18;
        std::vector<double> wanted, other;
        for (std::size_t first = 0; first + 256 <= samples.size(); first += 128) {
            wanted.push_back(amplitudeAt(samples, first, 256, wantedHz));
            other.push_back(amplitudeAt(samples, first, 256, wantedHz + offsetHz));
        }
        // Keyed stretches are the loudest tenth of either.
        const double measured = decibels(percentile(other, 0.9) / percentile(wanted, 0.9));
        EXPECT_NEAR(measured, levelDb, 2) << offsetHz << " Hz";
    }
}

TEST(BandConditions, StaticCrashesAreShortAtTheirRateAndLevel)
{
    const std::pair<double, int> rows[] = {{2, 0}, {4, -10}, {0.5, -20}};
    for (const auto& [rate, levelDb] : rows) {
        BandConditions conditions;
        conditions.qrnRate = rate;
        conditions.qrnLevelDb = levelDb;
        // Word gaps only: silence apart from the crashes.
        const auto samples = render(std::string(2300, ' '), fast, conditions).samples;
        const double seconds = static_cast<double>(samples.size()) / rateHz;
        ASSERT_GT(seconds, 100);

        // A crash: samples off silence, parts less than 2 ms apart belonging together.
        std::vector<std::size_t> lengths;
        std::vector<double> peaks;
        std::size_t i = 0;
        while (i < samples.size()) {
            if (samples[i] == 128) {
                ++i;
                continue;
            }
            const std::size_t start = i;
            std::size_t last = i;
            int peak = 0;
            for (; i < samples.size() && i - last < 22; ++i) {
                if (samples[i] != 128) {
                    last = i;
                    peak = std::max(peak, std::abs(samples[i] - 128));
                }
            }
            lengths.push_back(last + 1 - start);
            peaks.push_back(peak);
        }
        ASSERT_FALSE(lengths.empty());
        EXPECT_LT(*std::max_element(lengths.begin(), lengths.end()), 0.05 * rateHz) << rate;
        EXPECT_NEAR(static_cast<double>(lengths.size()) / seconds, rate, 0.3 * rate) << rate;
        EXPECT_NEAR(decibels(percentile(peaks, 0.5) / 100), levelDb, 2) << rate;
    }
}

TEST(BandConditions, ChirpShiftsEachKeyDownAndSettles)
{
    const std::pair<int, int> rows[] = {{100, 30}, {-60, 50}, {40, 10}};
    const double toneHz = rateHz / 18;
    for (const auto& [shiftHz, settleMs] : rows) {
        BandConditions conditions;
        conditions.chirpHz = shiftHz;
        conditions.chirpMs = settleMs;
        const auto samples = render("tt", {}, conditions).samples;
        // The two dashes begin at 0 and 2436 + 812 + 2436 samples.
        for (const std::size_t element : {std::size_t{0}, std::size_t{5684}}) {
            // Upward zero crossings, placed between samples by straight-line interpolation.
            std::vector<double> crossings;
            for (std::size_t i = element + 1; i < element + 2436; ++i) {
                const double a = samples[i - 1] - 128.0, b = samples[i] - 128.0;
                if (a < 0 && b >= 0)
                    crossings.push_back(static_cast<double>(i - 1 - element) + a / (a - b));
            }
            ASSERT_GT(crossings.size(), 100u);
            // The shift there is the chirp's mean over that cycle: (1 - t / settle)^2 of it.
            const double settled = settleMs * rateHz / 1000;
            auto runUp = [settled](double t) {
                return -std::pow(1 - t / settled, 3) * settled / 3;
            };
            const double meanShift = shiftHz * (runUp(crossings[1]) - runUp(crossings[0])) /
                                     (crossings[1] - crossings[0]);
            const double firstHz = rateHz / (crossings[1] - crossings[0]);
            EXPECT_NEAR(firstHz - toneHz, meanShift, 0.1 * std::abs(shiftHz) + 1) << shiftHz;
            EXPECT_GT(std::abs(meanShift), 0.5 * std::abs(shiftHz)) << shiftHz;
            const auto after = std::find_if(crossings.begin(), crossings.end(),
                                            [settled](double t) { return t >= settled; });
            const double settledHz = rateHz * static_cast<double>(crossings.end() - after - 1) /
                                     (crossings.back() - *after);
            EXPECT_NEAR(settledHz, toneHz, 1) << shiftHz << " Hz";
        }
    }
}

TEST(BandConditions, SameSeedsSameBytesOtherSeedsOtherConditions)
{
    const BandConditions busy = namedConditions()[2].conditions;
    BandConditions everything = busy;
    everything.qrnRate = 3;
    everything.chirpHz = 50;
    const SynthesisSettings settings{.noise = 20, .straight = 30};
    const std::string text = "cq de sp5abc";
    for (const BandConditions& conditions : {busy, everything}) {
        const auto first = render(text, settings, conditions).samples;
        EXPECT_EQ(render(text, settings, conditions).samples, first);
        EXPECT_NE(render(text, settings, conditions, 100).samples, first);
        EXPECT_NE(render(text, settings, conditions, 99, 1234568).samples, first);
    }
}

TEST(BandConditions, LoudConditionsAreClippedAndCounted)
{
    BandConditions loud;
    loud.qrm = {{.offsetHz = 200, .levelDb = 10, .speed = 0}};
    loud.qrnRate = 5;
    loud.qrnLevelDb = 20;
    const Rendering rendering = render(dashes(20), fast, loud);
    const auto atEnds = std::count_if(rendering.samples.begin(), rendering.samples.end(),
                                      [](std::uint8_t s) { return s == 0 || s == 255; });
    EXPECT_GT(rendering.clipped, 0);
    EXPECT_LE(rendering.clipped, atEnds);
    EXPECT_EQ(render(dashes(20), fast, namedConditions()[1].conditions).clipped, 0);
}

namespace {

// Reads the wanted signal's keying back out of a rendering: the tone's amplitude in windows of
// a quarter dot, keyed where it passes 40 % of the loudest within a second around it.
std::string decodedElements(const std::vector<std::uint8_t>& samples, int dotSamples, double toneHz)
{
    const int window = dotSamples / 4;
    std::vector<double> amplitudes;
    for (std::size_t first = 0; first + window <= samples.size(); first += window)
        amplitudes.push_back(amplitudeAt(samples, first, window, toneHz));
    const auto around = static_cast<std::ptrdiff_t>(rateHz / window);
    std::string keyed;
    for (std::size_t i = 0; i < amplitudes.size(); ++i) {
        const auto from = amplitudes.begin() + std::max<std::ptrdiff_t>(0, i - around);
        const auto to =
            amplitudes.begin() + std::min<std::ptrdiff_t>(amplitudes.size(), i + around);
        keyed += amplitudes[i] > 0.4 * *std::max_element(from, to) ? '1' : '0';
    }
    std::string decoded;
    std::size_t i = 0;
    while (i < keyed.size()) {
        const std::size_t end = std::min(keyed.find(keyed[i] == '1' ? '0' : '1', i), keyed.size());
        const std::size_t windows = end - i;
        if (keyed[i] == '1')
            decoded += windows < 8 ? '.' : '-';
        else if (windows >= 8 && !decoded.empty())
            decoded += ' ';
        i = end;
    }
    while (!decoded.empty() && decoded.back() == ' ')
        decoded.pop_back();
    return decoded;
}

} // namespace

TEST(BandConditions, TheWantedSignalStillDecodes)
{
    const std::string text = "cq de sp5abc paris 73 vvv = 0123456789 r";
    std::string expected;
    for (const char symbol : txtotr(text)) {
        if (symbol != ' ' || (!expected.empty() && expected.back() != ' '))
            expected += symbol;
    }
    while (expected.back() == ' ')
        expected.pop_back();
    const SynthesisSettings settings{.speed = 60, .noise = 10};
    for (const NamedConditions& named : namedConditions()) {
        const auto samples = render(text, settings, named.conditions, 5, 777, 5).samples;
        EXPECT_EQ(decodedElements(samples, dotLength(60), rateHz / 18), expected) << named.name;
    }
}
