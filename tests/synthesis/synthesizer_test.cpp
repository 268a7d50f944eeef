#include "reference_rendering.h"
#include "synthesis/errors.h"
#include "synthesis/morse_code.h"
#include "synthesis/synthesizer.h"
#include "synthesis/wav_header.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace vortan;
using vortan::test::readBytes;

namespace {

class SynthesizerTest : public ::testing::Test {
protected:
    std::vector<std::uint8_t> render(std::string_view text, const SynthesisSettings& settings)
    {
        const auto file = m_folder / "out.wav";
        m_synthesizer->txtofile(file, text, settings);
        return readBytes(file);
    }

    std::vector<std::uint8_t> samplesOf(const std::vector<std::uint8_t>& file)
    {
        return {file.begin() + 44, file.end()};
    }

    test::ScratchFolder m_folder;
    RandomGenerator m_random;
    FixedClock m_clock{1234567};
    std::unique_ptr<Synthesizer> m_synthesizer = std::make_unique<Synthesizer>(m_random, m_clock);
};

const std::vector<std::uint8_t> emptyWav{'R', 'I', 'F',  'F',  36,  0,   0,    0,    'W', 'A', 'V',
                                         'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,   1,   0,
                                         1,   0,   0x11, 0x2B, 0,   0,   0x11, 0x2B, 0,   0,   1,
                                         0,   8,   0,    'd',  'a', 't', 'a',  0,    0,   0,   0};

} // namespace

TEST_F(SynthesizerTest, EmptyTextGivesTheBareHeader)
{
    EXPECT_EQ(render("", {}), emptyWav);
    EXPECT_EQ(render(",.\n\xA5", {}), emptyWav);
}

TEST_F(SynthesizerTest, LetterEByteForByte)
{
    const auto file = render("e", {});
    ASSERT_EQ(file.size(), 4104u);
    std::vector<std::uint8_t> expected = emptyWav;
    const std::uint32_t n = 4060;
    for (const std::size_t at : {std::size_t{4}, std::size_t{40}}) {
        const std::uint32_t value = at == 4 ? n + 36 : n;
        for (int b = 0; b < 4; ++b)
            expected[at + b] = static_cast<std::uint8_t>(value >> (8 * b));
    }
    const std::uint8_t cycle[] = {192, 215, 226, 226, 215, 192, 162, 128, 94,
                                  64,  41,  30,  30,  41,  64,  94,  128, 162};
    for (int i = 0; i < 812; ++i)
        expected.push_back(cycle[i % 18]);
    expected.insert(expected.end(), 3248, 128);
    EXPECT_EQ(file, expected);
}

TEST_F(SynthesizerTest, TonePeriodRows)
{
    // tone -> samples per cycle; output sample j is sine step j + 2, so the zero crossing at the
    // end of a cycle falls on sample period - 2.
    const std::pair<int, int> rows[] = {{400, 28}, {600, 18}, {1000, 11}, {2000, 6}};
    for (const auto& [tone, period] : rows) {
        const auto samples = samplesOf(render("t", {.tone = tone}));
        EXPECT_EQ(samples[period - 2], 128) << "tone " << tone;
        EXPECT_NE(samples[period - 3], 128) << "tone " << tone;
        for (int j = 0; j + period < 2436; ++j)
            ASSERT_EQ(samples[j], samples[j + period]) << "tone " << tone << " sample " << j;
    }
}

TEST_F(SynthesizerTest, NoiseStaysInItsRange)
{
    // "e": 812 tone samples, then 3248 gap samples.
    const auto samples = samplesOf(render("e", {.noise = 50}));
    const auto [gapLow, gapHigh] = std::minmax_element(samples.begin() + 812, samples.end());
    EXPECT_EQ(*gapLow, 103);
    EXPECT_EQ(*gapHigh, 152);
    const auto [toneLow, toneHigh] = std::minmax_element(samples.begin(), samples.begin() + 812);
    EXPECT_GE(*toneLow, 3);
    EXPECT_LE(*toneHigh, 252);
    EXPECT_LT(*toneLow, 30); // noise really reaches the tone
    EXPECT_GT(*toneHigh, 226);
}

TEST_F(SynthesizerTest, NoiseOneIsSilentAndNoiseZeroRepeats)
{
    const auto quiet = render("paris", {});
    m_random.setSeed(99);
    EXPECT_EQ(render("paris", {.noise = 1}), quiet);
    EXPECT_EQ(render("paris", {}), quiet);
}

TEST_F(SynthesizerTest, NoisyRenderingsDifferOnlyInSamples)
{
    const SynthesisSettings settings{.noise = 20, .straight = 40};
    const auto first = render("cq test", settings);
    const auto second = render("cq test", settings);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 44, second.begin()));
    EXPECT_NE(first, second);
}

TEST_F(SynthesizerTest, OddSampleCountHasNoPadByte)
{
    // speed 100: dotlen 487, so "e" is 974 + 1461 = 2435 samples.
    EXPECT_EQ(render("e", {.speed = 100}).size(), 44u + 2435u);
}

TEST_F(SynthesizerTest, MatchesThePlainRenderingWithNoiseAndJitter)
{
    const std::string text = "Vvv = CQ de SP5ABC\r\n&@?! 0123456789 \xB9\xEA\xB3";
    const struct {
        SynthesisSettings settings;
        std::uint32_t seed;
    } cases[] = {
        {{.speed = 97, .spaces = 2, .tone = 777, .noise = 37, .straight = 73}, 12345},
        {{.speed = 40, .spaces = 10, .tone = 400, .noise = 50, .straight = 100}, 0},
        {{.speed = 250, .spaces = 0, .tone = 2000, .noise = 3, .straight = 1}, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        m_random.setSeed(c.seed);
        const auto file = render(text, c.settings);
        const auto& s = c.settings;
        const auto expected = test::referenceWav(
            txtotr(text), {s.speed, s.spaces, s.tone, s.noise, s.straight, c.seed, 1234567});
        ASSERT_EQ(file.size(), expected.size());
        EXPECT_TRUE(file == expected) << "speed " << s.speed;
    }
}

TEST_F(SynthesizerTest, GeneratorGoesOnFromTheClockSeed)
{
    render("a", {.noise = 10});
    // Re-seeded from the clock, then one draw per element.
    RandomGenerator expected;
    expected.setSeed(1234567);
    expected.nextReal();
    expected.nextReal();
    EXPECT_EQ(m_random.seed(), expected.seed());
}

TEST_F(SynthesizerTest, OversizeRenderingIsRefusedBeforeTheFileIsTouched)
{
    EXPECT_THROW(wavHeader(maxWavSampleCount + 1), Error);
    EXPECT_NO_THROW(wavHeader(maxWavSampleCount));

    const auto file = m_folder / "out.wav";
    test::writeText(file, "old");
    // 150 000 spaces at speed 40, spaces 10: 300 000 gap symbols, 4.75 billion samples.
    const std::string text(150000, ' ');
    try {
        m_synthesizer->txtofile(file, text, {.speed = 40, .spaces = 10});
        FAIL() << "an oversize rendering was accepted";
    } catch (const IoError&) {
        FAIL() << "refused as an I/O error";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("too long"), std::string::npos);
    }
    EXPECT_EQ(readBytes(file), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(m_folder.entryCount(), 1u);
}

TEST_F(SynthesizerTest, SettingsOutsideTheirRangesAreRefused)
{
    const auto file = m_folder / "out.wav";
    for (const SynthesisSettings& settings :
         {SynthesisSettings{.speed = 0}, SynthesisSettings{.speed = 251},
          SynthesisSettings{.spaces = -1}, SynthesisSettings{.tone = 399},
          SynthesisSettings{.noise = 51}, SynthesisSettings{.straight = 101}})
        EXPECT_THROW(m_synthesizer->txtofile(file, "e", settings), Error);
    EXPECT_EQ(m_folder.entryCount(), 0u);
    EXPECT_EQ(m_random.seed(), 0u);
}

TEST_F(SynthesizerTest, MissingFolderIsInvalidFilename)
{
    try {
        m_synthesizer->txtofile(m_folder / "no-such-folder" / "out.wav", "e", {});
        FAIL() << "no error";
    } catch (const IoError& error) {
        EXPECT_EQ(error.errorNumber(), 3);
        EXPECT_STREQ(error.what(), "Invalid filename");
    }
}
