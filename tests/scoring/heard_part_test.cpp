// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/heard_part.h"
#include "synthesis/sound_timing.h"

#include <gtest/gtest.h>

using namespace vortan;

namespace {

TEST(HeardPart, CutsTheTextAfterTheLastCharacterBegun)
{
    const struct {
        std::string text;
        std::size_t heardBytes;
        std::string heard;
        int heardGroups;
        int groupCount;
        bool lastGroupWhole;
    } rows[] = {
        {"abcde fghij klmno", 0, "", 0, 3, false},
        {"abcde fghij klmno", 5, "abcde", 1, 3, true},
        {"abcde fghij klmno", 8, "abcde fg", 2, 3, false},
        {"abcde fghij klmno", 17, "abcde fghij klmno", 3, 3, true},
        // Line breaks and runs of blanks are one separator; a byte without a code is no letter.
        {"ab\r\n\r\ncd  e\x01 f", 8, "ab\r\n\r\ncd", 2, 4, true},
        // The lead-in is no group: heard alone, there is nothing to check.
        {"vvv = abcde fghij", 3, "", 0, 2, false},
        {"vvv = abcde fghij", 5, "", 0, 2, false},
        {"vvv = abcde fghij", 7, "vvv = a", 1, 2, false},
        {"vvv abc", 3, "vvv", 1, 2, true},
        {"", 0, "", 0, 0, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text + " cut at " + std::to_string(row.heardBytes));
        const HeardPart part = heardPart(row.text, row.heardBytes);
        EXPECT_EQ(part.text, row.heard);
        EXPECT_EQ(part.heardGroups, row.heardGroups);
        EXPECT_EQ(part.groupCount, row.groupCount);
        EXPECT_EQ(part.lastGroupWhole, row.lastGroupWhole);
    }
}

TEST(HeardPart, ARenderingStoppedAtASample)
{
    SentExercise sent;
    sent.text = "abc de";
    sent.settings.straight = 50;
    sent.seed = 987654;
    const std::vector<CharacterSound> sounds = characterSounds(sent);
    const struct {
        std::int64_t heardSample;
        std::string heard;
    } rows[] = {
        {-2000, ""}, // in the lead-in
        {sounds[0].beginSample - 1, ""},
        {sounds[0].beginSample, "a"},
        {sounds[4].beginSample - 1, "abc"}, // in the gap after a group
        {sounds[4].beginSample, "abc d"},
        {sounds[5].endSample + 100000, "abc de"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(heardPart(sent, row.heardSample).text, row.heard) << row.heardSample;
}

} // namespace
