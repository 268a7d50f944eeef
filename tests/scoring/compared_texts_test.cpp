// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/compared_texts.h"

#include <gtest/gtest.h>

using namespace vortan;

TEST(ComparedTexts, SentTextIsWhatSounds)
{
    // Capitals fold; blanks and CR LF are one separator; LF alone, a tab, a Polish capital and
    // a comma have no code and are not sent, so the groups around them run together.
    EXPECT_EQ(heardText("  ABC  de\r\n\r\nf\tg\nh,i \xA5j \xB9  "), "abc de fghi j \xB9");
    EXPECT_EQ(heardText(""), "");
    EXPECT_EQ(heardText(" \r\n "), "");
}

TEST(ComparedTexts, CopyKeepsEveryTypedCharacter)
{
    // Case folds, Polish capitals included; every run of white space is one separator.
    EXPECT_EQ(copiedText("\t AbC,\r\n\r\n  \xA5\xA3\xAF\xC6\xD3x \xD7 "),
              "abc, \xB9\xB3\xBF\xE6\xF3x \xD7");
    EXPECT_EQ(copiedText(std::string_view("a\0b", 3)), "a\x1A"
                                                       "b");
}

TEST(ComparedTexts, SoundAlikesShareAKey)
{
    EXPECT_EQ(soundKey(0xF3), soundKey('p'));  // ó and p: .--.
    EXPECT_EQ(soundKey(0xBF), soundKey('z'));  // ż and z
    EXPECT_EQ(soundKey(0x9F), soundKey(0xEA)); // ź and ę
    EXPECT_NE(soundKey('5'), soundKey('h'));
    EXPECT_EQ(soundKey(','), ',');
}

TEST(ComparedTexts, LeadInLeftOutOfBoth)
{
    struct Row {
        std::string_view rendered, copy, sent, copied;
    };
    const Row rows[] = {
        {"vvv =\r\nabcde fghij \r\n", "VVV = abcde fghij", "abcde fghij", "abcde fghij"},
        {"vvv =\r\nabcde", "vvv=\nabcde", "abcde", "abcde"},
        {"vvv =\r\nabcde", "vvv abcde", "abcde", "abcde"},
        {"vvv =\r\nabcde", "abcde", "abcde", "abcde"},
        // Not a lead-in: the text does not open with it, or it is part of a longer group.
        {"abcde vvv =", "vvv = abcde", "abcde vvv =", "vvv = abcde"},
        {"vvv =x abcde", "vvv =x abcde", "vvv =x abcde", "vvv =x abcde"},
        {"vvv =", "vvvv", "", "vvvv"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(comparedTexts(row.rendered, row.copy),
                  (ComparedTexts{std::string(row.sent), std::string(row.copied)}))
            << row.rendered << " / " << row.copy;
    }
}
