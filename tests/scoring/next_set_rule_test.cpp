// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/next_set_rule.h"

#include <gtest/gtest.h>

using namespace vortan;

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
        {"not a progression set", "abcdefghijklmnopqrstuvwxyz", 100, {50, 50}, std::nullopt},
        {"a typed set", "abstgjnx", 100, {50, 50}, std::nullopt},
    };
    for (const Row& row : rows) {
        RecentAccuracy recent;
        recent.fill(row.newCharacter);
        CopyScore check;
        check.sentCount = 100;
        check.correct = row.checkPercent;
        EXPECT_EQ(nextSetOffer(row.set, check, recent, 90), row.offer) << row.name;
    }
}

TEST(NextSetRule, ASpeedTargetAsksEveryNewCharacterToBeFastEnough)
{
    struct Row {
        const char* name;
        std::optional<int> targetMs;
        CharacterRecognition n; // the character abstgjn added
        std::optional<std::size_t> offer;
    };
    const Row rows[] = {
        {"under the target", 500, {5, 499}, 8},
        {"at the target", 500, {20, 500}, std::nullopt},
        {"too few timed samples", 500, {4, 100}, std::nullopt},
        {"never typed along", 500, {}, std::nullopt},
        {"no target", std::nullopt, {}, 8},
    };
    for (const Row& row : rows) {
        RecentAccuracy recent;
        recent.fill({50, 50});
        RecentRecognition recognition{};
        recognition['a'] = {50, 900}; // a character of an earlier set: not asked
        recognition['n'] = row.n;
        CopyScore check;
        check.sentCount = 100;
        check.correct = 100;
        EXPECT_EQ(nextSetOffer("abstgjn", check, recent, 90, recognition, row.targetMs), row.offer)
            << row.name;
    }
}
