#include "app/exercise_text.h"
#include "synthesis/random_generator.h"

#include <gtest/gtest.h>

#include <string>

namespace vortan {
namespace {

TEST(RandomLine, DrawsSixGroupsOfFiveUniformlyFromTheWholeSet)
{
    // Two characters, the default set, and 300 characters of which the last 256 are 'b' (a
    // count kept in 8 bits would draw only the first 44).
    for (const std::string& set :
         {std::string("xy"), std::string("abcdefghijklmnopqrstuvwxyz0123456789/=?!"),
          std::string(44, 'a') + std::string(256, 'b')}) {
        RandomGenerator generator;
        generator.setSeed(45'296'789);
        RandomGenerator reference = generator;
        const auto line = randomLine(set, generator);
        ASSERT_TRUE(line.has_value());
        ASSERT_EQ(line->size(), 36u);
        for (std::size_t i = 0; i < line->size(); ++i) {
            EXPECT_EQ((*line)[i],
                      i % 6 == 5 ? ' '
                                 : set[reference.nextBelow(static_cast<std::uint32_t>(set.size()))])
                << i;
        }
        EXPECT_EQ(generator.seed(), reference.seed()) << "exactly 30 draws";
    }
}

TEST(PrintedLinePositions, StacksLinesAndStartsEveryPageAtTheSameTop)
{
    // 100 units a line on a page 1000 high: the lines at 300 to 900 fit.
    const auto positions = printedLinePositions(9, 100, 1000);
    ASSERT_EQ(positions.size(), 9u);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(positions[i], (PrintedLinePosition{i / 7, 200, 300 + i % 7 * 100})) << i;
    }
}

} // namespace
} // namespace vortan
