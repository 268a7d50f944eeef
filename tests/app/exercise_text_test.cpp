#include "app/exercise_text.h"
#include "synthesis/random_generator.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vortan {
namespace {

struct AppendCase {
    std::string text;
    std::string expected;
};

TEST(AppendLine, EndsTheTextWithTheLineAndABreakOnlyWhenItEndedWithOne)
{
    const AppendCase cases[] = {
        {"", "vvv =\r\n"},
        {"abc\r\n", "abc\r\nvvv =\r\n"},
        {"abc", "abc\r\nvvv ="},
        {"\r\n", "\r\nvvv =\r\n"},
        // A lone CR or LF is not a line break of the text.
        {"abc\r", "abc\r\r\nvvv ="},
        {"abc\n", "abc\n\r\nvvv ="},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(appendLine(c.text, kOpeningLine), c.expected) << "text: " << c.text;
        EXPECT_EQ(c.text + appendedPart(c.text, kOpeningLine), c.expected);
    }
}

TEST(NormalizeLineBreaks, MakesEveryLoneCrAndLfCrLf)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a\r\nb", "a\r\nb"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\rb\r", "a\r\nb\r\n"},
        {"\n\r", "\r\n\r\n"},
        {"\r\r\n\n", "\r\n\r\n\r\n"},
        {std::string("a\0b\r", 4), std::string("a\0b\r\n", 5)},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(normalizeLineBreaks(in), out);
        EXPECT_EQ(normalizeLineBreaks(out), out) << "normalising twice changes nothing";
    }
}

void expectRandomLineShape(const std::string& line, std::string_view set)
{
    ASSERT_EQ(line.size(), 36u);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (i % 6 == 5) {
            EXPECT_EQ(line[i], ' ') << "position " << i;
        } else {
            EXPECT_NE(set.find(line[i]), std::string_view::npos) << "position " << i;
        }
    }
}

TEST(RandomLine, SetsOfFewerThanTwoCharactersDrawNothing)
{
    for (const std::string set : {"", "a"}) {
        RandomGenerator generator;
        generator.setSeed(1234);
        EXPECT_FALSE(randomLine(set, generator).has_value());
        EXPECT_EQ(generator.seed(), 1234u) << "no draw was made";
    }
}

TEST(RandomLine, DrawsSixGroupsOfFiveFromTheSet)
{
    // "abs", two characters, Polish letters in windows-1250 (ą ś ż), a space and a capital.
    for (const std::string set : {"abs", "xy", "\xb9\x9c\xbf", "a B"}) {
        RandomGenerator generator;
        generator.setSeed(99);
        const auto line = randomLine(set, generator);
        ASSERT_TRUE(line.has_value());
        expectRandomLineShape(*line, set);
    }
}

TEST(RandomLine, FollowsTheSharedGeneratorDrawByDraw)
{
    const std::string set = "abcdefghijklmnopqrstuvwxyz0123456789/=?!";
    RandomGenerator generator;
    generator.setSeed(45'296'789);
    RandomGenerator reference;
    reference.setSeed(45'296'789);
    const auto line = randomLine(set, generator);
    ASSERT_TRUE(line.has_value());
    for (std::size_t i = 0; i < line->size(); ++i) {
        if (i % 6 != 5) {
            EXPECT_EQ((*line)[i], set[reference.nextBelow(static_cast<std::uint32_t>(set.size()))]);
        }
    }
    EXPECT_EQ(generator.seed(), reference.seed()) << "exactly 30 draws";
}

TEST(RandomLine, UsesTheWholeOfALongSet)
{
    // 300 characters: 44 'a's, then 256 'b's. Counting the length in 8 bits would draw only 'a'.
    const std::string set = std::string(44, 'a') + std::string(256, 'b');
    RandomGenerator generator;
    generator.setSeed(7);
    std::set<char> drawn;
    for (int count = 0; count < 4; ++count) {
        const auto line = randomLine(set, generator);
        ASSERT_TRUE(line.has_value());
        drawn.insert(line->begin(), line->end());
    }
    EXPECT_TRUE(drawn.count('b'));
    // And 256 characters are a set, not nothing.
    EXPECT_TRUE(randomLine(std::string(256, 'z'), generator).has_value());
}

TEST(PrintedLinePositions, StacksLinesAndStartsNewPagesAtTheSameTop)
{
    // 100 units per line, page 1000 high: lines at 300..900 fit (top + height <= 1000).
    const auto positions = printedLinePositions(9, 100, 1000);
    ASSERT_EQ(positions.size(), 9u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(positions[i], (PrintedLinePosition{0, 200, 300 + i * 100})) << "line " << i;
    }
    EXPECT_EQ(positions[7], (PrintedLinePosition{1, 200, 300}));
    EXPECT_EQ(positions[8], (PrintedLinePosition{1, 200, 400}));
    EXPECT_TRUE(printedLinePositions(0, 100, 1000).empty());
}

TEST(PrintedLinePositions, APageTooSmallStillTakesOneLine)
{
    const auto positions = printedLinePositions(3, 100, 50);
    ASSERT_EQ(positions.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(positions[i], (PrintedLinePosition{i, 200, 300}));
    }
}

} // namespace
} // namespace vortan
