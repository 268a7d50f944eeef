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
        {"transposition", "abcde fghij klmon pqrst uvwxy z1534", {30, 28, 2, 0, 0}, "n>o o>n "},
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
