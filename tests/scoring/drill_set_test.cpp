// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/drill_set.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vortan;

TEST(DrillSet, WeakAndRarelySampledCharactersMoreOften)
{
    RecentAccuracy recent{};
    recent['a'] = {50, 50}; // error rate 1/52: the best, once
    recent['b'] = {50, 40}; // 11/52: 11 times
    recent['c'] = {50, 25}; // 26/52: 26 times
    // 'd' never sampled: 1/2 = 26/52, as weak as c until shown otherwise
    const std::string drill = drillSet("abcd", recent);
    EXPECT_EQ(drill, "a" + std::string(11, 'b') + std::string(26, 'c') + std::string(26, 'd'));
}

TEST(DrillSet, LongSetsStayWithin255)
{
    // 40 characters, most of them mastered and a few unknown: the ratio would want far more
    // than 255; the set is scaled down, keeping every character at least once.
    RecentAccuracy recent{};
    const std::string_view set = "abcdefghijklmnopqrstuvwxyz0123456789/=?!";
    for (const char c : set)
        recent[static_cast<unsigned char>(c)] = {50, 50};
    for (const char weak : std::string_view("/=?!5h"))
        recent[static_cast<unsigned char>(weak)] = {50, 5};
    const std::string drill = drillSet(set, recent);
    EXPECT_LE(drill.size(), kMaxDrillSetLength);
    EXPECT_GT(drill.size(), 200u); // scaled to fill the room, not far below it
    for (const char c : set)
        EXPECT_GE(std::count(drill.begin(), drill.end(), c), 1) << c;
    EXPECT_GT(std::count(drill.begin(), drill.end(), '5'),
              20 * std::count(drill.begin(), drill.end(), 'a'));
}

TEST(DrillSet, DueCharactersJoinAsWeak)
{
    RecentAccuracy recent{};
    recent['a'] = {50, 50}; // 1/52: once
    recent['b'] = {50, 50}; // due, so 26/52 at least: 26 times
    recent['k'] = {50, 10}; // due from another set, weaker by its own rate: 41 times
    EXPECT_EQ(drillSet("ab", recent, "bK?"),
              "a" + std::string(26, 'b') + std::string(41, 'k') + std::string(26, '?'));
}

TEST(DrillSet, SlowCharactersMoreOftenAsWeakOnes)
{
    RecentAccuracy recent{};
    recent.fill({50, 50});
    recent['e'] = {50, 40}; // weak (11 times as a mastered one) and slow
    RecentRecognition recognition{};
    recognition['a'] = {5, 200}; // 4 times the fastest
    recognition['b'] = {5, 600}; // 12 times
    recognition['c'] = {4, 900}; // too few samples to say: once
    recognition['d'] = {9, 0};   // typed before it ended: the fastest, taken as 50 ms
    recognition['e'] = {5, 100}; // 2 times 11
    EXPECT_EQ(drillSet("abcde", recent, {}, recognition),
              std::string(4, 'a') + std::string(12, 'b') + "cd" + std::string(22, 'e'));
}

TEST(DrillSet, ADrillCountsForTheSetItDrills)
{
    struct Row {
        std::string_view set;
        std::string_view countsFor;
    };
    const Row rows[] = {
        {"aaabbbbst", "abst"},                                        // a drill of abst
        {"abst", "abst"},                                             // the entry itself
        {"AbbSsT", "abst"},                                           // as the box may hold it
        {"abts", "abts"},                                             // another order: not a drill
        {"aabbsstx", "aabbsstx"},                                     // a character the entry lacks
        {"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrstuvwxyz"}, // not of the progression
    };
    for (const Row& row : rows)
        EXPECT_EQ(drilledSet(row.set), row.countsFor) << row.set;
    RecentAccuracy recent{};
    recent['g'] = {50, 10};
    EXPECT_EQ(drilledSet(drillSet("abstgj", recent)), "abstgj");
}
