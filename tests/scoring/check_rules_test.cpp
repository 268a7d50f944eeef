// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/check_rules.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vortan;

TEST(CheckRules, OnlyTheFirstCheckOfARenderingIsKept)
{
    struct Step {
        bool newRendering;
        int sentCount;
        bool unkeptWaiting;
        CheckKeeping keeping;
    };
    struct Row {
        const char* name;
        std::vector<Step> steps;
    };
    const Row rows[] = {
        {"first kept, again not",
         {{true, 5, false, CheckKeeping::KeepNow},
          {false, 5, false, CheckKeeping::CheckedAgain},
          {false, 5, true, CheckKeeping::CheckedAgain}}},
        {"a new rendering is kept again",
         {{true, 5, false, CheckKeeping::KeepNow}, {true, 5, false, CheckKeeping::KeepNow}}},
        {"behind checks the history has not taken",
         {{true, 5, true, CheckKeeping::KeepAfterUnkept},
          {false, 5, false, CheckKeeping::CheckedAgain}}},
        {"nothing sent to score, first or again",
         {{true, 0, false, CheckKeeping::NothingToKeep},
          {false, 0, false, CheckKeeping::NothingToKeep}}},
        {"checked before any rendering was announced", {{false, 3, false, CheckKeeping::KeepNow}}},
    };
    for (const Row& row : rows) {
        CheckRules rules;
        for (const Step& step : row.steps) {
            if (step.newRendering)
                rules.newRendering();
            EXPECT_FALSE(step.newRendering && rules.checked()) << row.name;
            CopyScore score;
            score.sentCount = step.sentCount;
            EXPECT_EQ(rules.check(score, step.unkeptWaiting), step.keeping) << row.name;
            EXPECT_TRUE(rules.checked()) << row.name;
        }
    }
}

TEST(CheckRules, NextSetNamesTheSetAndWhatItAdds)
{
    struct Row {
        const char* name;
        std::string_view set;
        std::optional<std::string_view> asked; // the characters the figures are wanted for
        int checkPercent;
        std::optional<NextSetChoice> offer;
    };
    const Row rows[] = {
        {"earned", "abstgjn", "n", 95, NextSetChoice{8, "abstgjnok", "ok"}},
        {"first set of the progression", "abs", "abs", 95, NextSetChoice{5, "abst", "t"}},
        {"below the threshold", "abstgjn", "n", 80, std::nullopt},
        {"the last set", "abstgjnokqfmzixdrhewlypvcu8219376450?!/=", std::nullopt, 100,
         std::nullopt},
        {"not a progression set", "abcdefghijklmnopqrstuvwxyz", std::nullopt, 100, std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CheckRules::nextSetCharacters(row.set), row.asked) << row.name;
        CopyCheck check;
        check.sent.characterSet = std::string(row.set);
        check.score.sentCount = 100;
        check.score.correct = row.checkPercent;
        NextSetFigures figures{90, {}};
        figures.recent.fill({50, 50});
        EXPECT_EQ(CheckRules::nextSet(check, figures), row.offer) << row.name;
    }
}
