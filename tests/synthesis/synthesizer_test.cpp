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

// `seed` is the generator's state when the rendering starts, `clock` what the clock says when
// keying starts.
std::vector<std::uint8_t> referenceSamples(std::string_view pattern, const SynthesisSettings& s,
                                           std::uint64_t seed, std::uint64_t clock)
{
    auto draw = [&seed] { return seed = (seed * 134775813u + 1u) % 0x100000000u; };
    const int dot = roundHalfEven(48700.0 / s.speed);
    const int period = roundHalfEven(11025.0 / s.tone);
    std::vector<int> gap(50000), tone(6 * dot + 1);
    for (int& sample : gap)
        sample = 128 + static_cast<int>(draw() * s.noise >> 32) - s.noise / 2;
    for (int i = 0; i <= 6 * dot; ++i)
        tone[i] = static_cast<int>(draw() * s.noise >> 32) - s.noise / 2 + 128 +
                  roundHalfEven(100 * std::sin(2 * M_PI * (i % period + 1) / period));

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
        emit(tone, 1, (symbol == '.' ? dot : 3 * dot) + jitter);
        emit(gap, 0, dot - jitter);
    }
    return samples;
}

const test::ScratchFolder scratch;

// Renders into `file` with the generator starting at `seed`, and reads the whole file back.
std::vector<std::uint8_t> render(std::string_view text, const SynthesisSettings& settings,
                                 std::uint32_t seed = 0,
                                 const std::filesystem::path& file = scratch / "out.wav")
{
    RandomGenerator random;
    random.setSeed(seed);
    const FixedClock clock(1234567);
    std::make_unique<Synthesizer>(random, clock)->txtofile(file, text, settings);
    return readBytes(file);
}

// Expects the rendering to be refused with `message`, leaving the folder as it was: an old file
// unchanged and no temporary file behind.
void expectRefused(const std::filesystem::path& file, std::string_view text,
                   const SynthesisSettings& settings, const std::string& message)
{
    const auto folder = file.parent_path();
    const auto old = readBytes(file);
    const std::size_t entries = test::entryCount(folder);
    try {
        render(text, settings, 0, file);
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
}
