// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/practice_advice.h"

#include <gtest/gtest.h>

using namespace vortan;

namespace {

CharacterStatistics character(char c, RecentSamples recent, char writtenAs = 0, int times = 0)
{
    CharacterStatistics statistics;
    statistics.character = static_cast<unsigned char>(c);
    statistics.recent = recent;
    statistics.recentWrittenAs = static_cast<unsigned char>(writtenAs);
    statistics.recentWrittenAsCount = times;
    return statistics;
}

} // namespace

TEST(PracticeAdvice, SentencesFromKnownFigures)
{
    struct Row {
        const char* name;
        std::vector<CharacterStatistics> characters; // weakest first
        std::string_view set;
        std::vector<std::pair<char, RecentSamples>> recent;
        std::string due;
        std::string advice;
    };
    const Row rows[] = {
        {"nothing checked yet", {}, "abs", {}, "", "Check a copy and this says what to practise."},
        {"weakest with what it is written as; too few samples and strong ones left out",
         {character('g', {50, 24}, 'j', 18), character('j', {30, 21}), character('q', {9, 2}),
          character('a', {50, 50})},
         "abcdefghijklmnopqrstuvwxyz",
         {},
         "",
         "Practise g: 48 % over the last 50, written as j 18 times; j: 70 % over the last 30."},
        {"none weak, due characters, next set near",
         {character('a', {50, 49}), character('b', {50, 50})},
         "abstgj",
         {{'g', {50, 46}}, {'j', {30, 27}}},
         "gk",
         "No character with 10 or more recent samples is below 90 %. Due for review today: g, k."
         " A check at 90 % will offer the next set, abstgjn, which adds n."},
        {"next set waits for the new characters",
         {character('j', {40, 36}, 'g', 1)},
         "abstgj",
         {{'g', {50, 35}}, {'j', {10, 10}}},
         "",
         "No character with 10 or more recent samples is below 90 %. A check at 90 % with g and"
         " j at 90 % (g: now 70 %, about 50 more right; j: now 100 %, about 10 more right) will"
         " offer the next set, abstgjn, which adds n."},
        {"the last set has no next one",
         {character('=', {50, 20}, '/', 1)},
         "abstgjnokqfmzixdrhewlypvcu8219376450?!/=",
         {},
         "",
         "Practise =: 40 % over the last 50, written as / 1 time."},
    };
    for (const Row& row : rows) {
        PracticeFigures figures;
        figures.characters = row.characters;
        figures.characterSet = row.set;
        for (const auto& [c, samples] : row.recent)
            figures.recent[static_cast<unsigned char>(c)] = samples;
        figures.dueCharacters = row.due;
        figures.thresholdPercent = 90;
        EXPECT_EQ(practiceAdvice(figures), row.advice) << row.name;
    }
}

TEST(PracticeAdvice, MoreRightNeeded)
{
    struct Row {
        RecentSamples samples;
        int threshold;
        int minimum;
        int needed;
    };
    const Row rows[] = {
        {{20, 18}, 90, 20, 0},   // there already
        {{10, 10}, 90, 20, 10},  // right so far, too few
        {{30, 24}, 90, 20, 30},  // (24 + 30) / (30 + 30) = 90 %
        {{30, 25}, 90, 20, 20},  // 45 / 50
        {{50, 49}, 100, 20, 50}, // a wrong one stays until it leaves the window
        {{0, 0}, 90, 20, 20},
    };
    for (const Row& row : rows)
        EXPECT_EQ(moreRightNeeded(row.samples, row.threshold, row.minimum), row.needed)
            << row.samples.samples << " " << row.samples.correct;
}

TEST(PracticeAdvice, SlowestCharactersOfTheSetWithTheirMedians)
{
    PracticeFigures figures;
    figures.characters = {character('a', {50, 50})};
    figures.characterSet = "abstg";
    figures.recognition['a'] = {5, 300};
    figures.recognition['s'] = {50, 650};
    figures.recognition['t'] = {4, 900}; // too few samples to say
    figures.recognition['g'] = {6, 410};
    figures.recognition['b'] = {7, 120}; // the fourth: not named
    figures.recognition['x'] = {9, 999}; // not in the set
    EXPECT_EQ(practiceAdvice(figures),
              "No character with 10 or more recent samples is below 90 %. Slowest to recognise: "
              "s (650 ms), g (410 ms), a (300 ms).");
    figures.recognition = {};
    EXPECT_EQ(slowCharactersSentence(figures), "");
}

TEST(PracticeAdvice, WhatTheSpeedTargetStillAsks)
{
    struct Row {
        const char* name;
        std::optional<int> targetMs;
        CharacterRecognition o;
        CharacterRecognition k;
        std::string sentence;
    };
    const Row rows[] = {
        {"both too slow or untimed",
         500,
         {5, 620},
         {4, 100},
         "The next set also asks o and k to be recognised within 500 ms (o: now 620 ms; k: not "
         "timed enough yet)."},
        {"one fast enough",
         500,
         {5, 499},
         {9, 500},
         "The next set also asks k to be recognised within 500 ms (k: now 500 ms)."},
        {"both fast enough", 500, {5, 100}, {5, 100}, ""},
        {"no target", std::nullopt, {}, {}, ""},
    };
    for (const Row& row : rows) {
        PracticeFigures figures;
        figures.characterSet = "abstgjnok"; // adds o and k
        figures.targetMs = row.targetMs;
        figures.recognition['o'] = row.o;
        figures.recognition['k'] = row.k;
        EXPECT_EQ(speedTargetSentence(figures), row.sentence) << row.name;
    }
}

TEST(PracticeAdvice, SaysEveryWordThroughItsWording)
{
    // A wording that says "X" for every text: any word left outside it would show.
    const Wording xs([](const char*, const char*, const char*, int) { return std::string("X"); });
    PracticeFigures figures;
    figures.characters = {character('g', {50, 24}, 'j', 18), character('j', {30, 21}, 'g', 1)};
    figures.characterSet = "abstgj";
    figures.recent['g'] = {50, 35};
    figures.dueCharacters = "gk";
    figures.recognition['g'] = {9, 400};
    figures.targetMs = 300;
    const std::string advice = practiceAdvice(figures, xs);
    EXPECT_EQ(advice.find_first_not_of("X ;,."), std::string::npos) << advice;
    figures.characters = {character('a', {50, 50})};
    EXPECT_EQ(practiceAdvice(figures, xs).find_first_not_of("X "), std::string::npos);
}
