// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/next_set_rule.h"

#include <gtest/gtest.h>

using namespace vortan;

namespace {

CopyScore checkScoring(int percent)
{
    CopyScore score;
    score.sentCount = 100;
    score.correct = percent;
    return score;
}

RecentAccuracy allKnownAt(int samples, int correct)
{
    RecentAccuracy recent;
    recent.fill({samples, correct});
    return recent;
}

} // namespace

TEST(NextSetRule, OfferedOnlyWhenEarned)
{
    struct Row {
        const char* name;
        std::string_view set;
        int checkPercent;
        RecentSamples newCharacter; // for each character the set added
        std::optional<std::size_t> offer;
    };
    const Row rows[] = {
        {"earned", "abstgjn", 95, {20, 18}, 8},
        {"first set of the progression", "abs", 90, {50, 45}, 5},
        {"check below the threshold", "abstgjn", 89, {50, 50}, std::nullopt},
        {"new character below it", "abstgjn", 100, {50, 44}, std::nullopt},
        {"too few samples", "abstgjn", 100, {19, 19}, std::nullopt},
        {"the last set", "abstgjnokqfmzixdrhewlypvcu8219376450?!/=", 100, {50, 50}, std::nullopt},
        {"the next to last", "abstgjnokqfmzixdrhewlypvcu8219376450?!", 100, {50, 50}, 23},
        {"not a progression set", "abcdefghijklmnopqrstuvwxyz", 100, {50, 50}, std::nullopt},
        {"a typed set", "abstgjnx", 100, {50, 50}, std::nullopt},
    };
    for (const Row& row : rows) {
        const RecentAccuracy recent =
            allKnownAt(row.newCharacter.samples, row.newCharacter.correct);
        EXPECT_EQ(nextSetOffer(row.set, checkScoring(row.checkPercent), recent, 90), row.offer)
            << row.name;
    }
}

TEST(NextSetRule, EveryAddedCharacterCountsAndTheOthersDoNot)
{
    // "abstgj" added g and j. j weak: no offer, however good the rest; "a" weak: no matter.
    RecentAccuracy recent = allKnownAt(50, 50);
    recent['j'] = {50, 40};
    EXPECT_EQ(nextSetOffer("abstgj", checkScoring(95), recent, 90), std::nullopt);
    recent['j'] = {30, 27};
    recent['a'] = {50, 10};
    EXPECT_EQ(nextSetOffer("abstgj", checkScoring(95), recent, 90), std::optional<std::size_t>(7));
    // A lower threshold of the learner's own.
    recent['j'] = {30, 24};
    EXPECT_EQ(nextSetOffer("abstgj", checkScoring(80), recent, 80), std::optional<std::size_t>(7));
}
