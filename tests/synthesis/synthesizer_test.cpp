#include "reference_rendering.h"
#include "synthesis/morse_code.h"
#include "synthesis/synthesizer.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace vortan;

namespace {

// The whole file, header included, with the generator starting at `seed`.
std::vector<std::uint8_t> render(std::string_view text, const SynthesisSettings& settings,
                                 std::uint32_t seed = 0)
{
    test::ScratchFolder folder;
    RandomGenerator random;
    random.setSeed(seed);
    const FixedClock clock(1234567);
    std::make_unique<Synthesizer>(random, clock)->txtofile(folder / "out.wav", text, settings);
    return test::readBytes(folder / "out.wav");
}

} // namespace

TEST(Synthesizer, EmptyTextAndLetterEByteForByte)
{
    const std::string header(
        "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x11\x2B\0\0\x11\x2B\0\0\1\0\x08\0data\0\0\0\0",
        44);
    std::vector<std::uint8_t> expected(header.begin(), header.end());
    EXPECT_EQ(render("", {}), expected);
    EXPECT_EQ(render(",\n\xA5", {}), expected);

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
    const auto expected = test::referenceSamples(txtotr(text), settings, 12345, 1234567);
    ASSERT_EQ(file.size(), 44 + expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + 44));
}
