#include "synthesis/random_generator.h"

#include <gtest/gtest.h>

using namespace vortan;

namespace {

// The recurrence written out in 64-bit arithmetic with an explicit modulus.
std::uint64_t nextSeed(std::uint64_t seed)
{
    return (seed * 134775813ULL + 1ULL) % 4294967296ULL;
}

} // namespace

TEST(RandomGenerator, FirstDrawsFromSeedZero)
{
    RandomGenerator random;
    EXPECT_EQ(random.seed(), 0u);
    // By hand: seed 1 -> 100 / 2^32 -> 0; seed 134775814 -> 13477581400 / 2^32 -> 3.
    EXPECT_EQ(random.nextBelow(100), 0u);
    EXPECT_EQ(random.nextBelow(100), 3u);
    EXPECT_EQ(random.seed(), 134775814u);

    RandomGenerator reals;
    EXPECT_EQ(reals.nextReal(), 1.0 / 4294967296.0);

    RandomGenerator checked;
    std::uint64_t seed = 0;
    for (int i = 0; i < 1000; ++i) {
        seed = nextSeed(seed);
        const std::uint32_t n = 1u + static_cast<std::uint32_t>(i) * 4294967u;
        ASSERT_EQ(checked.nextBelow(n), (seed * n) / 4294967296ULL) << "draw " << i;
    }
}

TEST(RandomGenerator, RangesAndSeeding)
{
    RandomGenerator random;
    random.setSeed(0xFFFFFFFFu);
    EXPECT_EQ(random.nextBelow(0), 0u); // still steps the seed
    EXPECT_EQ(random.seed(), static_cast<std::uint32_t>(nextSeed(0xFFFFFFFFu)));
    for (int i = 0; i < 10000; ++i) {
        EXPECT_LT(random.nextBelow(7), 7u);
        const double r = random.nextReal();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
    random.seedFromClock(FixedClock(86399999));
    EXPECT_EQ(random.seed(), 86399999u);
    EXPECT_LT(SystemClock().millisecondsSinceMidnightUtc(), 86400000u);
}
