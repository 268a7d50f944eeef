// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/copy_score.h"

#include <gtest/gtest.h>

using namespace vortan;

namespace {

struct Counts {
    int sent, correct, wrong, missed, extra;
    bool operator==(const Counts&) const = default;
};

Counts countsOf(const CopyScore& score)
{
    return {score.sentCount, score.correct, score.wrong, score.missed, score.extra};
}

void PrintTo(const Counts& c, std::ostream* os)
{
    *os << "{sent " << c.sent << ", correct " << c.correct << ", wrong " << c.wrong << ", missed "
        << c.missed << ", extra " << c.extra << "}";
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
        {"groups run together", "abcdefghij klmno pqrst uvwxy z1534", {30, 30, 0, 0, 0}, ""},
        {"one letter missed", "abcde fghij klmo pqrst uvwxy z1534", {30, 29, 0, 1, 0}, "n>_ "},
    };
    for (const Row& row : rows) {
        const CopyScore score = scoreCopy(kSent, row.copy);
        EXPECT_EQ(countsOf(score), row.counts) << row.name;
        if (!row.errors.empty()) {
            EXPECT_EQ(errorsOf(score), row.errors) << row.name;
        }
        EXPECT_EQ(score.errors(), row.counts.wrong + row.counts.missed + row.counts.extra);
    }
    EXPECT_EQ(errorsOf(scoreCopy(kSent, "pqrst uvwxy z1534")).substr(0, 8), "a>_ b>_ ");
}

TEST(CopyScore, GroupsStayTogetherWhenTheCostIsEqual)
{
    // "abcd efghij": moving the blank costs two edits, as does calling "e" missed and extra.
    // The groups stay aligned: e missed in the first group and extra in the second.
    const CopyScore score = scoreCopy("abcde fghij", "abcd efghij");
    EXPECT_EQ(errorsOf(score), "e>_ _>e ");
    const std::vector<AlignedGroupRows> rows = alignedGroupRows(score);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (AlignedGroupRows{"abcde", "abcd\xB7", "    -"}));
    EXPECT_EQ(rows[1], (AlignedGroupRows{"\xB7"
                                         "fghij",
                                         "efghij", "+     "}));
}

TEST(CopyScore, ExtraGroupsBeforeAndAfterTheTextAreGroupsOfTheirOwn)
{
    const CopyScore score = scoreCopy("abcde fghij", "xy abcde fghij zz");
    EXPECT_EQ(countsOf(score), (Counts{10, 10, 0, 0, 4}));
    const std::vector<AlignedGroupRows> rows = alignedGroupRows(score);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].typed, "xy");
    EXPECT_EQ(rows[1].typed, "abcde");
    EXPECT_EQ(rows[3], (AlignedGroupRows{"\xB7\xB7", "zz", "++"}));

    // A blank typed inside a group does not split it.
    EXPECT_EQ(scoreCopy("abcde fghij", "ab cde fghij").groupCount, 2);
}

TEST(CopyScore, SoundAlikesAreRight)
{
    // ó and p sound the same; the outcome keeps the sent character for both sides.
    const CopyScore score = scoreCopy("\xF3p", "pp");
    EXPECT_EQ(countsOf(score), (Counts{2, 2, 0, 0, 0}));
    EXPECT_EQ(score.characters[0].typed, 0xF3);
}

TEST(CopyScore, AccuracyAndSummary)
{
    const CopyScore score = scoreCopy(kSent, "abcde fghij klmo pqrst uvwxy z1h34 q");
    EXPECT_EQ(countsOf(score), (Counts{30, 28, 1, 1, 1}));
    EXPECT_EQ(accuracyText(score), "93.3");
    EXPECT_TRUE(score.reaches(93));
    EXPECT_FALSE(score.reaches(94));
    EXPECT_EQ(checkSummary(score),
              "Accuracy 93.3 per cent: 28 of 30 characters right. 3 errors: 1 wrong, 1 missed, "
              "1 extra. Group 3: n missed. Group 6: 5 written as h. Group 7: extra q.");

    // 899 of 1000 is shown as 89.9 and does not reach 90.
    CopyScore nearly;
    nearly.sentCount = 1000;
    nearly.correct = 899;
    EXPECT_EQ(accuracyText(nearly), "89.9");
    EXPECT_FALSE(nearly.reaches(90));

    const CopyScore nothing = scoreCopy("vvv =\r\n", "vvv =");
    EXPECT_EQ(nothing.sentCount, 0);
    EXPECT_FALSE(nothing.reaches(0));
    EXPECT_EQ(checkSummary(nothing), "Nothing was sent to check against.");
    EXPECT_EQ(checkSummary(scoreCopy("ab", "AB")),
              "Accuracy 100.0 per cent: 2 of 2 characters right. No errors.");
}
