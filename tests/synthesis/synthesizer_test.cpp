// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "support/test_files.h"
#include "synthesis/morse_code.h"
#include "synthesis/synthesizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <memory>

using namespace vortan;
using test::readBytes;
using test::writeText;

namespace {

// A second, deliberately plain rendering of a pattern string, sample by sample and straight from
// the formulas, to check the library's buffered one for the exact samples (noise and jitter too).

// remainder() rounds its quotient half to even, whatever the rounding mode.
int roundHalfEven(double x)
{
    return static_cast<int>(x - std::remainder(x, 1.0));
}

// The soft keying's weight of the tone k samples from an element's edge, on a ramp of `ramp`.
double rampWeight(int k, int ramp)
{
    const double s = std::sin(M_PI / 2 * (k + 0.5) / ramp);
    return s * s;
}

// `seed` is the generator's state when the rendering starts, `clock` what the clock says when
// keying starts; `riseMs` the soft keying's rise and fall.
std::vector<std::uint8_t> referenceSamples(std::string_view pattern, const SynthesisSettings& s,
                                           std::uint64_t seed, std::uint64_t clock, int riseMs = 0)
{
    auto draw = [&seed] { return seed = (seed * 134775813u + 1u) % 0x100000000u; };
    const int dot = roundHalfEven(48700.0 / s.speed);
    const int period = roundHalfEven(11025.0 / s.tone);
    std::vector<int> gap(50000), noise(6 * dot + 1), sine(6 * dot + 1);
    for (int& sample : gap)
        sample = 128 + static_cast<int>(draw() * s.noise >> 32) - s.noise / 2;
    for (int i = 0; i <= 6 * dot; ++i) {
        noise[i] = static_cast<int>(draw() * s.noise >> 32) - s.noise / 2;
        sine[i] = roundHalfEven(100 * std::sin(2 * M_PI * (i % period + 1) / period));
    }

    std::vector<std::uint8_t> samples;
    auto emit = [&samples](const std::vector<int>& from, int first, int count) {
        for (int t = first; t < first + count; ++t)
            samples.push_back(static_cast<std::uint8_t>(from[t]));
    };
    seed = clock;
    const int centring = roundHalfEven(dot * (s.straight * 0.01) * 0.5);
    for (const char symbol : pattern) {
        if (symbol == ' ') {
            emit(gap, 0, (s.spaces + 3) * dot);
            continue;
        }
        const double r = static_cast<double>(draw()) / 0x100000000u;
        const double scale = symbol == '.' ? 0.01 : 0.005;
        const int jitter = roundHalfEven(r * dot * (s.straight * scale)) - centring;
        const int length = (symbol == '.' ? dot : 3 * dot) + jitter;
        const int ramp = std::min(roundHalfEven(riseMs * 11.025), length / 4);
        for (int t = 0; t < length; ++t) {
            const int fromEdge = std::min(t, length - 1 - t);
            const double weight = fromEdge < ramp ? rampWeight(fromEdge, ramp) : 1.0;
            samples.push_back(static_cast<std::uint8_t>(128 + noise[t + 1] +
                                                        roundHalfEven(weight * sine[t + 1])));
        }
        emit(gap, 0, dot - jitter);
    }
    return samples;
}

const test::ScratchFolder scratch;

// Renders into `file` with the generator starting at `seed`, and reads the whole file back.
std::vector<std::uint8_t> render(std::string_view text, const SynthesisSettings& settings,
                                 std::uint32_t seed = 0,
                                 const std::filesystem::path& file = scratch / "out.wav",
                                 int riseMs = 0)
{
    RandomGenerator random;
    random.setSeed(seed);
    const FixedClock clock(1234567);
    std::make_unique<Synthesizer>(random, clock)->txtofile(file, text, settings, riseMs);
    return readBytes(file);
}

std::vector<std::uint8_t> renderSoft(std::string_view text, const SynthesisSettings& settings,
                                     int riseMs, std::uint32_t seed = 0)
{
    return render(text, settings, seed, scratch / "soft.wav", riseMs);
}

// Expects the rendering to be refused with `message`, leaving the folder as it was: an old file
// unchanged and no temporary file behind.
void expectRefused(const std::filesystem::path& file, std::string_view text,
                   const SynthesisSettings& settings, const std::string& message, int riseMs = 0)
{
    const auto folder = file.parent_path();
    const auto old = readBytes(file);
    const std::size_t entries = test::entryCount(folder);
    try {
        render(text, settings, 0, file, riseMs);
        ADD_FAILURE() << "accepted; expected " << message;
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), message);
    }
    EXPECT_EQ(readBytes(file), old) << message;
    EXPECT_EQ(test::entryCount(folder), entries) << message;
}

} // namespace

TEST(Synthesizer, EmptyTextAndLetterEByteForByte)
{
    const std::string header(
        "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x11\x2B\0\0\x11\x2B\0\0\1\0\x08\0data\0\0\0\0",
        44);
    std::vector<std::uint8_t> expected(header.begin(), header.end());
    EXPECT_EQ(render("", {}), expected);

    // N = 4060 = 0x0FDC, RIFF size N + 36 = 0x1000.
    expected[4] = 0x00, expected[5] = 0x10, expected[40] = 0xDC, expected[41] = 0x0F;
    const std::uint8_t cycle[] = {192, 215, 226, 226, 215, 192, 162, 128, 94,
                                  64,  41,  30,  30,  41,  64,  94,  128, 162};
    for (int i = 0; i < 812; ++i)
        expected.push_back(cycle[i % 18]);
    expected.insert(expected.end(), 3248, 128);
    EXPECT_EQ(render("e", {}), expected);
    // speed 100: dotlen 487, an odd 974 + 1461 samples and no pad byte.
    EXPECT_EQ(render("e", {.speed = 100}).size(), 44u + 2435u);
}

TEST(Synthesizer, TonePeriodRows)
{
    // Sample j is sine step j + 2, so the zero crossing ending a cycle falls on period - 2.
    // 450 Hz is 24.5 samples, taken to the even 24.
    const std::pair<int, int> rows[] = {{400, 28}, {450, 24}, {600, 18}, {1000, 11}, {2000, 6}};
    for (const auto& [tone, period] : rows) {
        const auto dash = render("t", {.tone = tone});
        EXPECT_EQ(dash[44 + period - 2], 128) << "tone " << tone;
        EXPECT_NE(dash[44 + period - 3], 128) << "tone " << tone;
        for (int j = 44; j + period < 44 + 2436; ++j)
            ASSERT_EQ(dash[j], dash[j + period]) << "tone " << tone << " sample " << j;
    }
}

TEST(Synthesizer, NoiseRangesAndNoiseOneIsSilent)
{
    const auto e = render("e", {.noise = 50}); // 812 tone samples, then 3248 gap samples
    const auto [gapLow, gapHigh] = std::minmax_element(e.begin() + 44 + 812, e.end());
    EXPECT_EQ(*gapLow, 103);
    EXPECT_EQ(*gapHigh, 152);
    const auto [toneLow, toneHigh] = std::minmax_element(e.begin() + 44, e.begin() + 44 + 812);
    EXPECT_TRUE(*toneLow >= 3 && *toneLow < 30) << int(*toneLow); // noise reaches the tone
    EXPECT_TRUE(*toneHigh > 226 && *toneHigh <= 252) << int(*toneHigh);
    EXPECT_EQ(render("paris", {.noise = 1}, 99), render("paris", {}));
}

TEST(Synthesizer, MatchesThePlainRenderingWithNoiseAndJitter)
{
    const std::string text = "Vvv = CQ de SP5ABC\r\n&@?! 0123456789 \xB9\xEA\xB3";
    const SynthesisSettings settings{
        .speed = 97, .spaces = 2, .tone = 777, .noise = 37, .straight = 73};
    const auto file = render(text, settings, 12345);
    const auto expected = referenceSamples(txtotr(text), settings, 12345, 1234567);
    ASSERT_EQ(file.size(), 44 + expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + 44));
}

TEST(Synthesizer, WritesIntoAnOpenDescriptorAndTellsProgressPerMebibyte)
{
    test::ScratchFolder folder;
    const std::string text(150, '0'); // about 4 MiB at speed 40
    const SynthesisSettings settings{.speed = 40, .noise = 20, .straight = 50};
    RandomGenerator random;
    const FixedClock clock(1234567);
    auto synthesizer = std::make_unique<Synthesizer>(random, clock);
    std::vector<std::pair<std::int64_t, std::int64_t>> reports;
    synthesizer->setProgressCallback(
        [&reports](std::int64_t written, std::int64_t all) { reports.emplace_back(written, all); });
    random.setSeed(7);
    synthesizer->txtofile(folder / "file.wav", text, settings);
    const auto file = readBytes(folder / "file.wav");

    const auto fileBytes = static_cast<std::int64_t>(file.size());
    // Each report may come up to one symbol late, so the last mebibyte may go unreported.
    const auto steps = static_cast<std::size_t>(fileBytes / Synthesizer::progressStepBytes);
    ASSERT_GE(steps, 3u);
    ASSERT_TRUE(reports.size() == steps || reports.size() == steps - 1) << reports.size();
    std::int64_t previous = 0;
    for (const auto& [written, all] : reports) {
        EXPECT_EQ(all, fileBytes);
        EXPECT_GE(written - previous, Synthesizer::progressStepBytes);
        EXPECT_LT(written - previous, Synthesizer::progressStepBytes + 50000); // one symbol more
        previous = written;
    }

    // The same bytes after what the descriptor already holds; it stays open, nothing is made.
    const std::filesystem::path stream = folder / "stream";
    writeText(stream, "xy");
    const int descriptor = ::open(stream.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(descriptor, 0);
    random.setSeed(7);
    synthesizer->setProgressCallback({});
    synthesizer->txtodescriptor(descriptor, text, settings);
    EXPECT_EQ(::write(descriptor, "z", 1), 1);
    ::close(descriptor);
    auto expected = std::vector<std::uint8_t>{'x', 'y'};
    expected.insert(expected.end(), file.begin(), file.end());
    expected.push_back('z');
    EXPECT_TRUE(readBytes(stream) == expected);
    EXPECT_EQ(test::entryCount(folder.path), 2u);
    EXPECT_TRUE(reports.size() == steps || reports.size() == steps - 1); // none added
}

TEST(Synthesizer, ReportsTheSeedsThatMakeTheSameFileAgain)
{
    RandomGenerator random;
    random.setSeed(987654321);
    const FixedClock clock(1234567);
    Synthesizer synthesizer(random, clock);
    EXPECT_EQ(synthesizer.lastSampleSeed(), 0u);
    const SynthesisSettings settings{.noise = 30, .straight = 50};
    synthesizer.txtofile(scratch / "seed.wav", "paris", settings);
    EXPECT_EQ(synthesizer.lastBufferSeed(), 987654321u);
    EXPECT_EQ(synthesizer.lastSampleSeed(), 1234567u);
    EXPECT_NE(random.seed(), 1234567u); // the jitter drew on from there

    // The two seeds, the text and the settings are all a rendering needs: noise and jitter too.
    RandomGenerator again;
    again.setSeed(synthesizer.lastBufferSeed());
    const FixedClock sameClock(synthesizer.lastSampleSeed());
    std::make_unique<Synthesizer>(again, sameClock)
        ->txtofile(scratch / "again.wav", "paris", settings);
    EXPECT_TRUE(readBytes(scratch / "seed.wav") == readBytes(scratch / "again.wav"));
}

TEST(Synthesizer, RefusalsLeaveTheOldFileAlone)
{
    test::ScratchFolder folder;
    expectRefused(folder / "missing" / "out.wav", "e", {},
                  "Invalid filename: " + (folder / "missing" / "out.wav").string() +
                      ": No such file or directory");
    // Refused before the file is touched: 300 000 gap symbols at speed 40, spaces 10, would
    // be 4.75 billion samples, more than the header's 32 bits hold.
    writeText(folder / "old.wav", "old");
    expectRefused(folder / "old.wav", std::string(150000, ' '), {.speed = 40, .spaces = 10},
                  "The text is too long to render into one WAV file (119 hours of signal; a WAV "
                  "file holds at most 108 hours at this quality)");
    expectRefused(folder / "old.wav", "e", {.noise = 51},
                  "The setting noise must lie between 0 and 50, not 51");
    expectRefused(folder / "old.wav", "e", {}, "The setting rise must lie between 0 and 10, not 11",
                  11);
}

TEST(Synthesizer, SoftKeyingMatchesThePlainRenderingAndKeepsTheLength)
{
    // Short dots at speeds 200 and 250 get a quarter of their length; noise and jitter stay as
    // they were.
    const std::string text = "Vvv = CQ de SP5ABC\r\n&@?! 0123456789 \xB9\xEA\xB3";
    const std::pair<int, SynthesisSettings> rows[] = {
        {2, {.speed = 97, .spaces = 2, .tone = 777, .noise = 37, .straight = 73}},
        {5, {}},
        {10, {.speed = 250, .tone = 400, .noise = 50, .straight = 100}},
        {10, {.speed = 200, .spaces = 10, .tone = 2000, .noise = 1, .straight = 30}},
    };
    for (const auto& [riseMs, settings] : rows) {
        const auto soft = renderSoft(text, settings, riseMs, 777);
        const auto hard = render(text, settings, 777);
        const auto expected = referenceSamples(txtotr(text), settings, 777, 1234567, riseMs);
        ASSERT_EQ(soft.size(), hard.size()) << "rise " << riseMs;
        EXPECT_TRUE(std::equal(hard.begin(), hard.begin() + 44, soft.begin()));
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), soft.begin() + 44))
            << "rise " << riseMs << ", speed " << settings.speed;
    }
}

TEST(Synthesizer, SoftKeyingRampEdgesAndSymmetry)
{
    // The dash of "t": 2436 tone samples, then 3248 of silence.
    const int length = 2436;
    const auto hard = render("t", {});
    for (const auto& [riseMs, ramp] : {std::pair{2, 22}, {5, 55}, {10, 110}}) {
        const auto soft = renderSoft("t", {}, riseMs);
        ASSERT_EQ(soft.size(), hard.size());
        const auto at = [&](const std::vector<std::uint8_t>& file, int t) {
            return static_cast<int>(file[44 + t]) - 128;
        };
        // The element starts and ends at silence where the hard one jumps.
        EXPECT_EQ(at(soft, 0), 0) << riseMs;
        EXPECT_EQ(at(soft, length - 1), 0) << riseMs;
        EXPECT_NE(at(hard, 0), 0);
        EXPECT_NE(at(hard, length - 1), 0);
        // Between the ramps and in the gap nothing changes.
        EXPECT_TRUE(std::equal(hard.begin() + 44 + ramp, hard.begin() + 44 + length - ramp,
                               soft.begin() + 44 + ramp));
        EXPECT_TRUE(std::equal(hard.begin() + 44 + length, hard.end(), soft.begin() + 44 + length));
        // The envelope, read off where the tone is loud enough for rounding not to blur it:
        // rising like the raised cosine, and falling as the mirror image of the rise.
        for (int k = 0; k < ramp; ++k) {
            const int headTone = at(hard, k), tailTone = at(hard, length - 1 - k);
            const double head = static_cast<double>(at(soft, k)) / headTone;
            const double tail = static_cast<double>(at(soft, length - 1 - k)) / tailTone;
            if (std::abs(headTone) >= 30) {
                EXPECT_NEAR(head, rampWeight(k, ramp), 0.5 / 30) << riseMs << " head " << k;
            }
            if (std::abs(tailTone) >= 30) {
                EXPECT_NEAR(tail, rampWeight(k, ramp), 0.5 / 30) << riseMs << " tail " << k;
            }
            if (std::abs(headTone) >= 30 && std::abs(tailTone) >= 30) {
                EXPECT_NEAR(head, tail, 1.0 / 30) << riseMs << " at " << k;
            }
        }
    }
}
