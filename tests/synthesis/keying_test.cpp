#include "synthesis/keying.h"
#include "synthesis/random_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace vortan;

namespace {

constexpr auto Tone = SegmentKind::Tone;
constexpr auto Gap = SegmentKind::Gap;

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

} // namespace

TEST(Keying, DotLengthsLetterAAndGapSymbols)
{
    const std::pair<int, int> rows[] = {{40, 1218}, {60, 812}, {100, 487}, {200, 244}, {250, 195}};
    for (const auto& [speed, dotlen] : rows)
        EXPECT_EQ(dotLength(speed), dotlen) << "speed " << speed;

    RandomGenerator random;
    const std::vector<Segment> a{{Tone, 812}, {Gap, 812}, {Tone, 2436}, {Gap, 812}, {Gap, 2436}};
    EXPECT_EQ(keyAll(".- ", 812, 0, 0, random), a);
    EXPECT_EQ(trsize(".- ", 812, 2436, 0), 7308);
    EXPECT_EQ(random.seed(), 134775814u); // one real per element even without jitter
    EXPECT_EQ(keyAll(" ", 812, 10, 0, random), (std::vector<Segment>{{Gap, 13 * 812}}));
    EXPECT_TRUE(keyAll("", 812, 0, 100, random).empty());
    EXPECT_EQ(trsize("", 812, 2436, 0), 0);
}

TEST(Keying, JitterAtStraight100MovesOnlyTheBoundaryWithinItsBounds)
{
    RandomGenerator random;
    random.setSeed(20240601);
    std::vector<int> dotTones, dashTones;
    for (int i = 0; i < 20000; ++i) {
        const auto s = keyAll(".-", 812, 0, 100, random);
        ASSERT_EQ(s[0].sampleCount + s[1].sampleCount, 1624);
        ASSERT_EQ(s[2].sampleCount + s[3].sampleCount, 3248);
        dotTones.push_back(s[0].sampleCount);
        dashTones.push_back(s[2].sampleCount);
    }
    EXPECT_EQ(trsize(".-", 812, 2436, 0), 1624 + 3248); // the same whatever the draws
    // This many draws reach the whole width (the top within rounding), and never pass it.
    const auto [dotLow, dotHigh] = std::ranges::minmax(dotTones);
    const auto [dashLow, dashHigh] = std::ranges::minmax(dashTones);
    EXPECT_EQ(dotLow, 406);
    EXPECT_EQ(dashLow, 2030);
    EXPECT_TRUE(dotHigh >= 1216 && dotHigh <= 1218) << dotHigh;
    EXPECT_TRUE(dashHigh >= 2434 && dashHigh <= 2436) << dashHigh;
}
