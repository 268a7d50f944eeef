// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/keystroke_clock.h"

#include "synthesis/keying.h"

#include <chrono>

namespace vortan {

std::optional<std::int64_t> KeystrokeClock::frameAt(std::optional<std::int64_t> heardFrame,
                                                    std::int64_t steadyNs)
{
    if (heardFrame && (!m_anchor || *heardFrame != m_anchor->frame)) {
        m_anchor = Anchor{*heardFrame, steadyNs};
        return heardFrame;
    }
    if (!m_anchor)
        return std::nullopt;
    const std::int64_t elapsedNs = steadyNs - m_anchor->steadyNs;
    if (elapsedNs > kRunOnNs)
        return std::nullopt;
    return m_anchor->frame + elapsedNs * sampleRateHz / 1'000'000'000;
}

std::optional<std::int64_t> KeystrokeClock::frameNow(std::optional<std::int64_t> heardFrame)
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return frameAt(heardFrame, std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

} // namespace vortan
