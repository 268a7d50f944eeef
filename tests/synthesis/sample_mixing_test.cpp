// SPDX-License-Identifier: GPL-3.0-or-later
// The band mixer's last pass: worked values, and every path of this processor byte for byte
// against the scalar one.
#include "synthesis/sample_mixing.h"

#include <gtest/gtest.h>

#include <random>

using namespace vortan;
namespace mixing = vortan::sample_mixing;

namespace {

struct Block {
    std::vector<std::uint8_t> base;
    std::vector<std::int16_t> added;
    std::vector<std::int16_t> tone;
    std::vector<std::int16_t> gain;
};

// Terms as loud as the mixer's ranges allow, and bases at the edges often, so that samples are
// held at both ends.
Block randomBlock(int count, unsigned seed)
{
    std::mt19937 random(seed);
    auto between = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    Block block;
    for (int j = 0; j < count; ++j) {
        const int edge = between(0, 3);
        block.base.push_back(static_cast<std::uint8_t>(edge == 0   ? between(0, 8)
                                                       : edge == 1 ? between(247, 255)
                                                                   : between(0, 255)));
        block.added.push_back(static_cast<std::int16_t>(between(-15000, 15000) / between(1, 64)));
        block.tone.push_back(static_cast<std::int16_t>(between(-1600, 1600)));
    }
    for (int run = 0; run <= count / mixing::gainRun; ++run)
        block.gain.push_back(static_cast<std::int16_t>(between(0, 32767)));
    return block;
}

struct Mixed {
    std::vector<std::uint8_t> out;
    int held = 0;
    std::vector<std::int16_t> addedAfter;
};

Mixed mixBlock(mixing::Path path, Block block, bool faded, bool added)
{
    const int count = static_cast<int>(block.base.size());
    Mixed mixed{std::vector<std::uint8_t>(block.base.size()), 0, {}};
    const mixing::Inputs inputs{block.base.data(), added ? block.added.data() : nullptr,
                                faded ? block.tone.data() : nullptr,
                                faded ? block.gain.data() : nullptr};
    mixed.held = mixing::mix(path, inputs, mixed.out.data(), count);
    mixed.addedAfter = block.added;
    return mixed;
}

} // namespace

TEST(SampleMixing, WorkedSamples)
{
    // base, added (eighths), tone (sixteenths), gain: the byte and whether it was held.
    struct Row {
        int base, added, tone, gain;
        int expected;
        bool held;
    };
    const Row rows[] = {
        {128, 80, 0, 0, 138, false},       // ten steps added
        {128, 0, 1600, 32767, 228, false}, // full tone: 1600 * 32767 >> 16 = 799, + 4, / 8 = 100
        {128, 0, -1600, 16384, 78, false}, // half: -400 + 4 = -396, / 8 rounded down = -50
        {128, 3, 0, 0, 128, false},        // under half a step
        {128, 4, 0, 0, 129, false},        // half a step, up
        {250, 80, 0, 0, 255, true},        // held at the top
        {5, -80, 0, 0, 0, true},           // and at the bottom
        {0, -4, 0, 0, 0, false},           // -4 + 4: nothing
    };
    for (const Row& row : rows) {
        const std::uint8_t base = static_cast<std::uint8_t>(row.base);
        std::int16_t added = static_cast<std::int16_t>(row.added);
        const std::int16_t tone = static_cast<std::int16_t>(row.tone);
        const std::int16_t gain = static_cast<std::int16_t>(row.gain);
        std::uint8_t out = 0;
        const int held = mixing::mix(mixing::Path::Scalar, {&base, &added, &tone, &gain}, &out, 1);
        EXPECT_EQ(out, row.expected) << row.base << " " << row.added << " " << row.tone;
        EXPECT_EQ(held, row.held ? 1 : 0) << row.base << " " << row.added;
        EXPECT_EQ(added, 0);
    }
}

TEST(SampleMixing, EveryPathGivesTheScalarBytes)
{
    const auto paths = mixing::availablePaths();
    ASSERT_EQ(paths.front(), mixing::Path::Scalar);
    // Lengths around the wide loops' steps and a long block.
    const int counts[] = {0, 1, 7, 8, 15, 16, 17, 31, 32, 33, 63, 100, 1461, 5000};
    unsigned seed = 1;
    for (const int count : counts) {
        const Block block = randomBlock(count, seed++);
        for (const bool faded : {false, true}) {
            for (const bool added : {false, true}) {
                const Mixed scalar = mixBlock(mixing::Path::Scalar, block, faded, added);
                if (added) {
                    EXPECT_EQ(scalar.addedAfter, std::vector<std::int16_t>(block.added.size()));
                }
                for (const mixing::Path path : paths) {
                    const Mixed wide = mixBlock(path, block, faded, added);
                    const auto where = ::testing::Message()
                                       << "path " << static_cast<int>(path) << ", count " << count
                                       << ", faded " << faded << ", added " << added;
                    EXPECT_EQ(wide.out, scalar.out) << where;
                    EXPECT_EQ(wide.held, scalar.held) << where;
                    EXPECT_EQ(wide.addedAfter, scalar.addedAfter) << where;
                }
            }
        }
    }
}
