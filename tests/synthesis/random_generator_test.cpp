#include "synthesis/random_generator.h"

#include <gtest/gtest.h>

using namespace vortan;

TEST(RandomGenerator, DrawsFromSeedZeroAndClockSeeding)
{
    RandomGenerator random;
    // By hand: seed 1 -> 100 / 2^32 -> 0; seed 134775814 -> 13477581400 / 2^32 -> 3.
    EXPECT_EQ(random.nextBelow(100), 0u);
    EXPECT_EQ(random.nextBelow(100), 3u);
    EXPECT_EQ(RandomGenerator().nextReal(), 1.0 / 4294967296.0);
    EXPECT_EQ(random.nextBelow(0), 0u);

    // The recurrence in 64 bits with an explicit modulus, over the whole range of n.
    RandomGenerator checked;
    std::uint64_t seed = 0;
    for (std::uint64_t i = 0; i < 1000; ++i) {
        seed = (seed * 134775813u + 1u) % 4294967296u;
        const std::uint32_t n = static_cast<std::uint32_t>(1 + i * 4294967u);
        ASSERT_EQ(checked.nextBelow(n), seed * n >> 32) << "draw " << i;
    }
    random.seedFromClock(FixedClock(86399999));
    EXPECT_EQ(random.seed(), 86399999u);
    EXPECT_LT(SystemClock().millisecondsSinceMidnightUtc(), 86400000u);
}
