// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/copy_score.h"
#include "synthesis/sound_timing.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vortan {

// How long the learner took to recognise one correctly copied character: from the end of its
// sound as heard to the keystroke that typed it, less their own reaction time.
struct RecognitionTime {
    int milliseconds = 0;     // 0 when anticipated
    bool anticipated = false; // typed before its sound had ended

    bool operator==(const RecognitionTime&) const = default;
};

// What type-along adds to a check: the heard frame (a sample of the rendering's file, as the
// player tells it) of the keystroke that typed each byte of the copy, none for a byte not typed
// while a sound played (pasted, typed before Play).
using KeystrokeFrames = std::vector<std::optional<std::int64_t>>;

// One entry per character of `score` (in its order): the recognition time of each character
// copied right in its place; none for errors, moved groups and characters typed without a
// time. `renderedText` and `copy` are those the score was made from; `sounds` the timing map of
// the rendering (characterSounds), at least as long as `renderedText`; `keyFrames` one entry per
// byte of `copy`. `reactionMs` is taken off every time.
std::vector<std::optional<RecognitionTime>>
recognitionTimes(const CopyScore& score, std::string_view renderedText, std::string_view copy,
                 const std::vector<CharacterSound>& sounds, const KeystrokeFrames& keyFrames,
                 int reactionMs);

// The median (the lower of the middle two) of the values; none when there are none.
std::optional<int> lowerMedian(std::vector<int> values);

// The median (the lower of the middle two) of the times given; none when there are none.
std::optional<int> medianRecognitionMs(const std::vector<std::optional<RecognitionTime>>& times);

} // namespace vortan
