// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "support/test_files.h"
#include "synthesis/morse_code.h"
#include "synthesis/synthesizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

TEST(Synthesizer, MatchesThePlainRenderingAndSoftKeyingKeepsTheLength)
{
    // Short dots at speeds 200 and 250 get a quarter of their length; noise and jitter stay as
    // they were.
    const std::string text = "Vvv = CQ de SP5ABC\r\n&@?! 0123456789 \xB9\xEA\xB3";
    const std::pair<int, SynthesisSettings> rows[] = {
        {0, {.speed = 97, .spaces = 2, .tone = 777, .noise = 37, .straight = 73}},
        {2, {.speed = 97, .spaces = 2, .tone = 777, .noise = 37, .straight = 73}},
        {5, {}},
        {10, {.speed = 250, .tone = 400, .noise = 50, .straight = 100}},
        {10, {.speed = 200, .spaces = 10, .tone = 2000, .noise = 1, .straight = 30}},
    };
    for (const auto& [riseMs, settings] : rows) {
        const auto soft = render(text, settings, 777, scratch / "soft.wav", riseMs);
        const auto hard = render(text, settings, 777);
        const auto expected = referenceSamples(txtotr(text), settings, 777, 1234567, riseMs);
        ASSERT_EQ(soft.size(), hard.size()) << "rise " << riseMs;
        ASSERT_EQ(soft.size(), 44 + expected.size()) << "rise " << riseMs;
        EXPECT_TRUE(std::equal(hard.begin(), hard.begin() + 44, soft.begin()));
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), soft.begin() + 44))
            << "rise " << riseMs << ", speed " << settings.speed;
    }
}

TEST(Synthesizer, EveryByteIsCountedAndKeyedAsItsPattern)
{
    // The size comes from a count per byte and the samples from each byte's pattern in turn,
    // never from the whole pattern string: both must agree with it for every byte value.
    std::string text;
    for (int byte = 0; byte < 256; ++byte)
        text += static_cast<char>(byte);
    const SynthesisSettings settings{.speed = 150, .spaces = 3, .noise = 20, .straight = 40};
    const auto rendered = render(text, settings, 4242);
    const auto expected = referenceSamples(txtotr(text), settings, 4242, 1234567);
    ASSERT_EQ(rendered.size(), 44 + expected.size());
    const auto header = wavHeader(static_cast<std::int64_t>(expected.size()));
    EXPECT_TRUE(std::equal(header.begin(), header.end(), rendered.begin()));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), rendered.begin() + 44));
}

TEST(Synthesizer, SoftKeyingStartsAndEndsAtSilence)
{
    // The dash of "t": 2436 tone samples, then 3248 of silence.
    const int length = 2436;
    const auto hard = render("t", {});
    for (const auto& [riseMs, ramp] : {std::pair{2, 22}, {5, 55}, {10, 110}}) {
        const auto soft = render("t", {}, 0, scratch / "soft.wav", riseMs);
        ASSERT_EQ(soft.size(), hard.size());
        // The element starts and ends at silence where the hard one jumps.
        EXPECT_EQ(soft[44], 128) << riseMs;
        EXPECT_EQ(soft[44 + length - 1], 128) << riseMs;
        EXPECT_NE(hard[44], 128);
        EXPECT_NE(hard[44 + length - 1], 128);
        // Between the ramps and in the gap nothing changes.
        EXPECT_TRUE(std::equal(hard.begin() + 44 + ramp, hard.begin() + 44 + length - ramp,
                               soft.begin() + 44 + ramp));
        EXPECT_TRUE(std::equal(hard.begin() + 44 + length, hard.end(), soft.begin() + 44 + length));
    }
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
    // Refused before the file is touched: 300 000 gap symbols at speed 40, spaces 10, would
    // be 4.75 billion samples, more than the header's 32 bits hold.
    writeText(folder / "old.wav", "old");
    expectRefused(folder / "old.wav", std::string(150000, ' '), {.speed = 40, .spaces = 10},
                  "The text is too long to render into one WAV file (119 hours of signal; a WAV "
                  "file holds at most 108 hours at this quality)");
    expectRefused(folder / "old.wav", "e", {}, "The setting rise must lie between 0 and 10, not 11",
                  11);
}

TEST(MorseCode, TellingTexts)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"SOS", "... --- ... "},
        {"a\r\nb", ".-   -... "},
        {"a,b", ".- -... "},
        // Polish capitals are not folded, and ś, tab, full stop, hyphen and LF have no code.
        {"\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF\x9C\t.-\n", ""},
        {"\xB9\xF3\xBF\xEA\x9F", ".-..- .--. --.. --..- --..- "}, // ą ó ż ę ź
        {"&#%|@$^*", "-.-..-.. ---- .-.-. -.--. ...-.- ----.- ..-- .-.- "},
    };
    for (const auto& [text, pattern] : cases)
        EXPECT_EQ(txtotr(text), pattern) << testing::PrintToString(std::string(text));
}
