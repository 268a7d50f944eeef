// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/reaction_calibration.h"

#include "scoring/recognition_time.h"
#include "settings/options_schema.h"

#include <algorithm>
#include <random>

namespace vortan {

// An answer comes before the next beep, so a median always fits the option that keeps it.
static_assert(programOption(OptionId::Reaction).maximum >= kReactionGapMaxMs);

std::vector<int> reactionBeepStartsMs(std::uint32_t seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> gapMs(kReactionGapMinMs, kReactionGapMaxMs);
    std::vector<int> starts;
    int at = 0;
    for (int beep = 0; beep < kReactionBeeps; ++beep) {
        at += gapMs(generator);
        starts.push_back(at);
    }
    return starts;
}

ReactionCalibration::ReactionCalibration(std::vector<std::int64_t> beepStartFrames, int sampleRate)
    : m_beeps(std::move(beepStartFrames))
    , m_sampleRate(sampleRate)
{
}

ReactionPress ReactionCalibration::press(std::optional<std::int64_t> heardFrame)
{
    if (finished())
        return ReactionPress::Finished;
    if (!heardFrame || *heardFrame < m_beeps[m_next])
        return ReactionPress::BeforeBeep;
    // The latest beep begun before the press is the one answered.
    while (m_next + 1 < m_beeps.size() && m_beeps[m_next + 1] <= *heardFrame)
        ++m_next;
    const std::int64_t frames = *heardFrame - m_beeps[m_next];
    // Only the last beep can be answered this late, once the sound has played out.
    m_answersMs.push_back(
        static_cast<int>(std::min<std::int64_t>(frames * 1000 / m_sampleRate, kReactionGapMaxMs)));
    ++m_next;
    return ReactionPress::Counted;
}

std::optional<int> ReactionCalibration::medianMs() const
{
    if (!finished() || static_cast<int>(m_answersMs.size()) < kReactionMinimumAnswers)
        return std::nullopt;
    return lowerMedian(m_answersMs);
}

} // namespace vortan
