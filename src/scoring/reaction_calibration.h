// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The learner's own time to press a key, measured so that recognition times can leave it out:
// beeps at random intervals, a key pressed at each, timed on the same heard frame as the
// keystrokes of type-along; the median is kept.

#include <cstdint>
#include <optional>
#include <vector>

namespace vortan {

inline constexpr int kReactionBeeps = 10;
inline constexpr int kReactionBeepMs = 60;
// From the start of one beep (or of the sound) to the start of the next: long enough that a
// press answers one beep only, random so that it cannot be foreseen.
inline constexpr int kReactionGapMinMs = 1000;
inline constexpr int kReactionGapMaxMs = 2500;
// Below this many answered beeps there is no result worth keeping.
inline constexpr int kReactionMinimumAnswers = kReactionBeeps / 2;

// Where each of the kReactionBeeps beeps starts, milliseconds from the start of the sound, the
// gaps drawn from `seed`.
std::vector<int> reactionBeepStartsMs(std::uint32_t seed);

// What a key press did.
enum class ReactionPress {
    Counted,    // answered the latest beep
    BeforeBeep, // no beep had sounded since the last answer: ignored
    Finished,   // the measurement had ended: ignored
};

class ReactionCalibration {
public:
    // `beepStartFrames`: where each beep starts in the sound, in frames at `sampleRate`.
    ReactionCalibration(std::vector<std::int64_t> beepStartFrames, int sampleRate);

    // A key press at `heardFrame` (the heard frame of the sound, none when it is not playing).
    // It answers the latest beep that has begun; a beep left unanswered until the next began
    // is not timed.
    ReactionPress press(std::optional<std::int64_t> heardFrame);

    const std::vector<std::int64_t>& beepStartFrames() const { return m_beeps; }

    // The milliseconds of each answer, in order.
    const std::vector<int>& answersMs() const { return m_answersMs; }

    // Every beep is answered or past unanswered.
    bool finished() const { return m_next >= m_beeps.size(); }

    // The sound has played out: the beeps not answered by now stay unanswered.
    void soundEnded() { m_next = m_beeps.size(); }

    // The median of the answers once finished with at least kReactionMinimumAnswers; none
    // before or with fewer.
    std::optional<int> medianMs() const;

private:
    std::vector<std::int64_t> m_beeps;
    int m_sampleRate;
    std::size_t m_next = 0; // the first beep not yet answered or passed
    std::vector<int> m_answersMs;
};

} // namespace vortan
