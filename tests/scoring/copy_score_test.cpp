// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/copy_score.h"

#include <gtest/gtest.h>

#include <array>

using namespace vortan;

namespace {

// Sent, correct, wrong, missed, extra.
using Counts = std::array<int, 5>;

Counts countsOf(const CopyScore& score)
{
    return {score.sentCount, score.correct, score.wrong, score.missed, score.extra};
}

// The errors as "sent>typed" items in text order, "_" for no partner.
std::string errorsOf(const CopyScore& score)
{
    std::string errors;
    for (const ScoredCharacter& c : score.characters) {
        if (c.outcome == Outcome::Correct)
            continue;
        errors += c.sent == 0 ? '_' : static_cast<char>(c.sent);
        errors += '>';
        errors += c.typed == 0 ? '_' : static_cast<char>(c.typed);
        errors += ' ';
    }
    return errors;
}

constexpr std::string_view kSent = "vvv =\r\nabcde fghij klmno pqrst uvwxy z1534 \r\n";

} // namespace

TEST(CopyScore, ErrorsCostOnlyTheirCharacters)
{
    struct Row {
        const char* name;
        std::string_view copy;
        Counts counts;
        std::string_view errors;
    };
    const Row rows[] = {
        {"perfect", "abcde fghij klmno pqrst uvwxy z1534", {30, 30, 0, 0, 0}, ""},
        {"dropped group",
         "abcde fghij pqrst uvwxy z1534",
         {30, 25, 0, 5, 0},
         "k>_ l>_ m>_ n>_ o>_ "},
        {"extra group",
         "abcde fghij xxxxx klmno pqrst uvwxy z1534",
         {30, 30, 0, 0, 5},
         "_>x _>x _>x _>x _>x "},
        {"stray letter at a group's start",
         "abcde qfghij klmno pqrst uvwxy z1534",
         {30, 30, 0, 0, 1},
         "_>q "},
        // A swapped pair: in doubt a letter is missed rather than confused.
        {"transposition", "abcde fghij klmon pqrst uvwxy z1534", {30, 29, 0, 1, 1}, "_>o o>_ "},
        {"empty copy", "", {30, 0, 0, 30, 0}, ""},
        {"copy longer than the text",
         "abcde fghij klmno pqrst uvwxy z1534 56789 0",
         {30, 30, 0, 0, 6},
         "_>5 _>6 _>7 _>8 _>9 _>0 "},
        {"late start", "pqrst uvwxy z1534", {30, 15, 0, 15, 0}, ""},
        {"5 heard as h", "abcde fghij klmno pqrst uvwxy z1h34", {30, 29, 1, 0, 0}, "5>h "},
        {"case and white space",
         "  ABCDE\tFGHIJ\r\n\r\nKLMNO PQRST   UVWXY Z1534\n",
         {30, 30, 0, 0, 0},
         ""},
        {"lead-in copied", "vvv = abcde fghij klmno pqrst uvwxy z1534", {30, 30, 0, 0, 0}, ""},
        {"spacing", "abcd efghij klmnop qrst uvwxyz1534", {30, 30, 0, 0, 0}, ""},
        {"group written late", "abcde fghij pqrst klmno uvwxy z1534", {30, 30, 0, 0, 0}, ""},
    };
    for (const Row& row : rows) {
        const CopyScore score = scoreCopy(kSent, row.copy);
        EXPECT_EQ(countsOf(score), row.counts) << row.name;
        if (!row.errors.empty()) {
            EXPECT_EQ(errorsOf(score), row.errors) << row.name;
        }
        EXPECT_EQ(score.errors(), row.counts[2] + row.counts[3] + row.counts[4]);
    }
    EXPECT_EQ(errorsOf(scoreCopy(kSent, "pqrst uvwxy z1534")).substr(0, 8), "a>_ b>_ ");
}

TEST(CopyScore, SummaryTellsWhatHappened)
{
    struct Row {
        std::string_view sent;
        std::string_view copy;
        std::string_view accuracy;
        std::string_view errors; // after the counts
    };
    const Row rows[] = {
        {"fghij klmno", "fghjj", "40.0", " Group 2 missed. Group 1: i written as j."},
        {"abcde fghij klmno", "abcde klmno fghij", "100.0", " Group 2 written after group 3."},
        {"abcde fghij", "abcd efghij", "100.0", ""},
        {"abcde fghij klmno", "abcde fghij", "66.7", " Group 3 missed."},
        {"abcde fghij klmno pqrst", "pqst", "20.0", " Groups 1-3 missed. Group 4: r missed."},
        {"abcde fghij klmno pbrst", "pbrht", "20.0",
         " Groups 1-3 missed. Group 4: s written as h."},
        {"abcde fghij", "abcde xyzzy fghij", "100.0", " Extra group: xyzzy after group 1."},
        {"abcde fghij", "abxcde fgyhij", "100.0", " Group 1: extra x; group 2: extra y."},
        {"abcde fghij", "vvv = abcde fghij", "100.0", ""},
        {"vvv =\r\nabcde", "VVV= abcde", "100.0", ""},
    };
    for (const Row& row : rows) {
        const CopyScore score = scoreCopy(row.sent, row.copy);
        EXPECT_EQ(accuracyText(score), row.accuracy) << row.copy;
        const std::string summary = checkSummary(score);
        // What follows the counts, or "No errors." when there are none (a moved group only).
        std::size_t counts = summary.find(" extra).");
        counts = counts != std::string::npos ? counts + 8 : summary.find("No errors.") + 10;
        const std::string errors = summary.substr(counts);
        EXPECT_EQ(errors, row.errors) << summary;
    }
}

TEST(CopyScore, SummarySaysEveryWordThroughItsWording)
{
    // A wording that says "X" for every text: any word left outside it would show.
    const Wording xs([](const char*, const char*, const char*, int) { return std::string("X"); });
    for (const std::string_view copy :
         {"abxde", "abcde klmno fghij qq", "fghij klmno pqrst abcde", "", "ab", "zzzzz abcde"}) {
        const std::string summary = checkSummary(scoreCopy("abcde fghij klmno pqrst", copy), xs);
        EXPECT_EQ(summary.find_first_not_of("X ;,."), std::string::npos) << copy << ": " << summary;
    }
    EXPECT_EQ(checkSummary(CopyScore{}, xs), "X");
}
