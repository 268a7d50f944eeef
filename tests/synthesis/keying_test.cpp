#include "synthesis/keying.h"
#include "synthesis/random_generator.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vortan;

namespace {

std::vector<Segment> keyAll(std::string_view pattern, int dotlen, int spaces, int straight,
                            RandomGenerator& random)
{
    std::vector<Segment> all;
    std::array<Segment, 2> segments;
    for (const char symbol : pattern) {
        const int count = keysymbol(symbol, dotlen, 3 * dotlen, spaces, straight, random, segments);
        all.insert(all.end(), segments.begin(), segments.begin() + count);
    }
    return all;
}

std::int64_t total(const std::vector<Segment>& segments)
{
    std::int64_t sum = 0;
    for (const Segment& segment : segments)
        sum += segment.sampleCount;
    return sum;
}

constexpr auto Tone = SegmentKind::Tone;
constexpr auto Gap = SegmentKind::Gap;

} // namespace

TEST(Keying, NearestTakesHalvesToEven)
{
    EXPECT_EQ(nearest(0.5), 0);
    EXPECT_EQ(nearest(1.5), 2);
    EXPECT_EQ(nearest(2.5), 2);
    EXPECT_EQ(nearest(-0.5), 0);
    EXPECT_EQ(nearest(-1.5), -2);
    EXPECT_EQ(nearest(2.4999), 2);
}

TEST(Keying, DotLengthRows)
{
    const std::pair<int, int> rows[] = {{40, 1218}, {60, 812}, {100, 487}, {200, 244}, {250, 195}};
    for (const auto& [speed, dotlen] : rows)
        EXPECT_EQ(dotLength(speed), dotlen) << "speed " << speed;
}

TEST(Keying, LetterAAtSpeed60)
{
    RandomGenerator random;
    const auto segments = keyAll(".- ", 812, 0, 0, random);
    const std::vector<Segment> expected{
        {Tone, 812}, {Gap, 812}, {Tone, 2436}, {Gap, 812}, {Gap, 2436}};
    EXPECT_EQ(segments, expected);
    EXPECT_EQ(trsize(".- ", 812, 2436, 0), 7308);
    // One real per element even without jitter, none per gap symbol.
    EXPECT_EQ(random.seed(), 134775814u);
}

TEST(Keying, GapSymbolsAndEmptyPattern)
{
    RandomGenerator random;
    EXPECT_EQ(keyAll(" ", 812, 10, 0, random), (std::vector<Segment>{{Gap, 13 * 812}}));
    EXPECT_EQ(keyAll(" ", 812, 0, 0, random), (std::vector<Segment>{{Gap, 3 * 812}}));
    EXPECT_TRUE(keyAll("", 812, 0, 100, random).empty());
    EXPECT_TRUE(keyAll("x\r", 812, 0, 100, random).empty());
    EXPECT_EQ(trsize("", 812, 2436, 0), 0);
    EXPECT_EQ(random.seed(), 0u);
}

TEST(Keying, JitterBoundsAtStraight100)
{
    RandomGenerator random;
    random.setSeed(20240601);
    int dotToneLow = 1 << 30, dotToneHigh = 0, dashToneLow = 1 << 30, dashToneHigh = 0;
    for (int i = 0; i < 20000; ++i) {
        const auto dot = keyAll(".", 812, 0, 100, random);
        ASSERT_EQ(dot.size(), 2u);
        ASSERT_EQ(dot[0].sampleCount + dot[1].sampleCount, 1624);
        dotToneLow = std::min(dotToneLow, dot[0].sampleCount);
        dotToneHigh = std::max(dotToneHigh, dot[0].sampleCount);
        const auto dash = keyAll("-", 812, 0, 100, random);
        ASSERT_EQ(dash[0].sampleCount + dash[1].sampleCount, 3248);
        dashToneLow = std::min(dashToneLow, dash[0].sampleCount);
        dashToneHigh = std::max(dashToneHigh, dash[0].sampleCount);
    }
    // The whole width is reached with this many draws, but never passed.
    EXPECT_EQ(dotToneLow, 406);
    EXPECT_GE(dotToneHigh, 1216);
    EXPECT_LE(dotToneHigh, 1218);
    EXPECT_EQ(dashToneLow, 2030);
    EXPECT_GE(dashToneHigh, 2434);
    EXPECT_LE(dashToneHigh, 2436);
}

TEST(Keying, JitterFollowsTheDrawnReal)
{
    RandomGenerator random;
    // First draw from seed 0 is r = 1/2^32: the random term is 0 and the tone is shortened by
    // the whole centring term nearest(812 * 0.37 * 0.5) = nearest(150.22) = 150.
    EXPECT_EQ(keyAll(".", 812, 0, 37, random),
              (std::vector<Segment>{{Tone, 812 - 150}, {Gap, 812 + 150}}));
    // Second draw r = 134775814 / 2^32 = 0.03138: a dash at straight 100 gets
    // J = nearest(r * 812 * 0.5) - nearest(812 * 1.0 * 0.5) = 13 - 406.
    EXPECT_EQ(keyAll("-", 812, 0, 100, random),
              (std::vector<Segment>{{Tone, 2436 - 393}, {Gap, 812 + 393}}));
}

TEST(Keying, SizeIsTheSumOfSegmentsWhateverTheJitter)
{
    const std::string pattern = "-.-..-.. .- --..--    ..... ----- ";
    for (const int spaces : {0, 4, 10}) {
        const std::int64_t expected = trsize(pattern, 487, 1461, spaces);
        for (const int straight : {0, 33, 100}) {
            RandomGenerator random;
            random.setSeed(static_cast<std::uint32_t>(straight * 7919 + spaces));
            EXPECT_EQ(total(keyAll(pattern, 487, spaces, straight, random)), expected);
        }
    }
}

TEST(Keying, SizeCountsPast32Bits)
{
    // 200 000 gap symbols at speed 40 with spaces 10: 3.17 billion samples.
    const std::string pattern(200000, ' ');
    EXPECT_EQ(trsize(pattern, 1218, 3654, 10), std::int64_t{200000} * 13 * 1218);
}
