// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/recognition_time.h"
#include "synthesis/keying.h"

#include <gtest/gtest.h>

using namespace vortan;

namespace {

// A keystroke `delayMs` after the end of the sound of sent byte `sentByte`; -1: typed without
// a time. Delays are whole multiples of 40 ms, a whole number of samples.
struct Key {
    int sentByte = -1;
    int delayMs = 0;
};

using Times = std::vector<std::optional<RecognitionTime>>;

constexpr RecognitionTime ms(int milliseconds)
{
    return {milliseconds, false};
}
constexpr RecognitionTime kAnticipated{0, true};

TEST(RecognitionTime, EachCharacterCopiedRightIsTimedFromTheEndOfItsSound)
{
    const struct {
        const char* name;
        std::string sent;
        std::string copy;
        std::vector<Key> keys; // one per byte of the copy
        int reactionMs;
        Times expected; // one per scored character
    } rows[] = {
        {"all right",
         "abc",
         "abc",
         {{0, 400}, {1, 280}, {2, 200}},
         80,
         {ms(320), ms(200), ms(120)}},
        {"typed before the end",
         "abc",
         "abc",
         {{0, -40}, {1, 0}, {2, 40}},
         0,
         {kAnticipated, ms(0), ms(40)}},
        {"reaction longer than the delay", "ab", "ab", {{0, 40}, {1, 120}}, 80, {ms(0), ms(40)}},
        {"wrong letter untimed",
         "abc",
         "axc",
         {{0, 120}, {1, 120}, {2, 160}},
         0,
         {ms(120), std::nullopt, ms(160)}},
        {"missed letter",
         "abcd",
         "acd",
         {{0, 40}, {2, 80}, {3, 120}},
         0,
         {ms(40), std::nullopt, ms(80), ms(120)}},
        {"extra letter",
         "abc",
         "abxc",
         {{0, 40}, {1, 80}, {1, 400}, {2, 120}},
         0,
         {ms(40), ms(80), std::nullopt, ms(120)}},
        {"pasted untimed", "ab", "ab", {{0, 40}, {-1, 0}}, 0, {ms(40), std::nullopt}},
        {"lead-in sent, not copied", "vvv = ab", "ab", {{6, 80}, {7, 160}}, 0, {ms(80), ms(160)}},
        {"lead-in sent and copied",
         "vvv = ab",
         "VVV = ab",
         {{-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}, {6, 80}, {7, 160}},
         0,
         {ms(80), ms(160)}},
        {"capitals, blanks and line breaks",
         "Ab\r\ncd",
         "a  B\ncD",
         {{0, 40}, {-1, 0}, {-1, 0}, {1, 80}, {-1, 0}, {4, 120}, {5, 160}},
         0,
         {ms(40), ms(80), ms(120), ms(160)}},
        {"moved group untimed",
         "abcde fghij klmno",
         "abcde klmno fghij",
         {{0, 40},
          {1, 40},
          {2, 40},
          {3, 40},
          {4, 40},
          {-1, 0},
          {12, 80},
          {13, 80},
          {14, 80},
          {15, 80},
          {16, 80},
          {-1, 0},
          {6, 80},
          {7, 80},
          {8, 80},
          {9, 80},
          {10, 80}},
         0,
         {ms(40), ms(40), ms(40), ms(40), ms(40), std::nullopt, std::nullopt, std::nullopt,
          std::nullopt, std::nullopt, ms(80), ms(80), ms(80), ms(80), ms(80)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SentExercise sent;
        sent.text = row.sent;
        sent.settings.straight = 30; // jitter: every character ends at its own sample
        sent.seed = 4242;
        const std::vector<CharacterSound> sounds = characterSounds(sent);
        KeystrokeFrames frames;
        for (const Key& key : row.keys) {
            if (key.sentByte < 0)
                frames.push_back(std::nullopt);
            else
                frames.push_back(sounds[static_cast<std::size_t>(key.sentByte)].endSample +
                                 std::int64_t{key.delayMs} * sampleRateHz / 1000);
        }
        ASSERT_EQ(frames.size(), row.copy.size());
        const CopyScore score = scoreCopy(row.sent, row.copy);
        EXPECT_EQ(recognitionTimes(score, row.sent, row.copy, sounds, frames, row.reactionMs),
                  row.expected);
    }
}

TEST(RecognitionTime, MedianOfTheTimedCharacters)
{
    const struct {
        Times times;
        std::optional<int> median;
    } rows[] = {
        {{}, std::nullopt},
        {{std::nullopt}, std::nullopt},
        {{ms(300)}, 300},
        {{ms(300), std::nullopt, ms(100), ms(200)}, 200},
        {{ms(400), ms(100), kAnticipated, ms(200)}, 100}, // the lower middle
    };
    for (const auto& row : rows)
        EXPECT_EQ(medianRecognitionMs(row.times), row.median);
}

} // namespace
