// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/progress_statistics.h"

#include <gtest/gtest.h>

using namespace vortan;

namespace {

// Outcome pairs from "sent>typed" items: "a>a" right, "5>h" wrong, "q>_" missed, "_>x" extra.
std::string pairs(std::initializer_list<std::string_view> items)
{
    std::string result;
    for (const std::string_view item : items) {
        result += item[0] == '_' ? '\0' : item[0];
        result += item[2] == '_' ? '\0' : item[2];
    }
    return result;
}

std::string repeated(std::string_view item, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += pairs({item});
    return result;
}

const CharacterStatistics& statisticsOf(const ProgressData& data, char c)
{
    for (const CharacterStatistics& s : data.characters) {
        if (s.character == static_cast<unsigned char>(c))
            return s;
    }
    static const CharacterStatistics none;
    ADD_FAILURE() << "no statistics for " << c;
    return none;
}

} // namespace

TEST(ProgressStatistics, PairsOfAScoreKeepTheSentByteForSoundAlikes)
{
    const CopyScore score = scoreCopy("a5\xF3 qk", "xahp k");
    EXPECT_EQ(outcomePairs(score), pairs({"_>x", "a>a", "5>h", "\xF3>\xF3", "q>_", "k>k"}));
}

TEST(ProgressStatistics, CountsWindowsAndPairsOfAKnownHistory)
{
    ProgressAccumulator accumulator;
    // Newest first. The newest check: 50 right "a"s at its end after 10 wrong ones, so the
    // window of 50 holds only right ones while the totals hold all 60.
    accumulator.addCheck({3000, 30, 64, 52}, repeated("a>s", 10) + repeated("a>a", 50) +
                                                 pairs({"5>h", "5>h", "5>5", "q>_", "_>x"}));
    accumulator.addCheck({2000, 30, 4, 1}, pairs({"5>h", "5>s", "b>6", "b>b"}));
    accumulator.addCheck({1000, 25, 4, 4}, repeated("b>b", 4) + pairs({"_>x"}));
    const ProgressData data = accumulator.result();

    const CharacterStatistics& a = statisticsOf(data, 'a');
    EXPECT_EQ((std::array{a.sent, a.correct, a.wrong, a.missed, a.extra}),
              (std::array{60, 50, 10, 0, 0}));
    EXPECT_EQ(a.recent, (RecentSamples{50, 50}));

    const CharacterStatistics& five = statisticsOf(data, '5');
    EXPECT_EQ((std::array{five.sent, five.correct, five.wrong}), (std::array{5, 1, 4}));
    EXPECT_EQ(five.wrongAs, (std::vector<std::pair<unsigned char, int>>{{'h', 3}, {'s', 1}}));
    EXPECT_EQ(statisticsOf(data, 'q').missed, 1);
    EXPECT_EQ(statisticsOf(data, 'x').extra, 2);

    // Weakest first: q (0 of 1), 5 (1 of 5), b (5 of 6), a (50 of 50); x, never sent, last.
    std::string order;
    for (const CharacterStatistics& s : data.characters)
        order += static_cast<char>(s.character);
    EXPECT_EQ(order, "q5bax");

    EXPECT_EQ(data.confusions, (std::vector<ConfusionPair>{
                                   {'a', 's', 10}, {'5', 'h', 3}, {'5', 's', 1}, {'b', '6', 1}}));
    EXPECT_EQ(data.checks.front().checkedAtMs, 1000); // oldest first
    EXPECT_EQ(data.checks.back().checkedAtMs, 3000);
    EXPECT_EQ(data.tempos, (std::vector<TempoPoint>{{25, 1, 4, 4}, {30, 2, 68, 53}}));

    EXPECT_EQ(ProgressAccumulator().result(2).confusions.size(), 0u);
    ProgressAccumulator few;
    few.addCheck({1, 1, 3, 0}, pairs({"a>b", "c>d", "e>f"}));
    EXPECT_EQ(few.result(2).confusions.size(), 2u);
}

TEST(ProgressStatistics, RecentSamplesStopWhenEveryWindowIsFull)
{
    ProgressAccumulator accumulator(3);
    EXPECT_FALSE(accumulator.addRecentSamples(pairs({"a>a", "b>x", "a>a"}), "ab"));
    EXPECT_TRUE(accumulator.addRecentSamples(pairs({"b>b", "a>x", "b>b"}), "ab"));
    EXPECT_EQ(accumulator.recentAccuracy()['a'], (RecentSamples{3, 2}));
    EXPECT_EQ(accumulator.recentAccuracy()['b'], (RecentSamples{3, 2}));
    EXPECT_EQ(accumulator.recentAccuracy()['x'], (RecentSamples{}));
}
