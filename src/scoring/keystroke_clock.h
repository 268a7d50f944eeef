// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace vortan {

// The heard frame of a keystroke, on the sound server's clock. The player tells the frame only
// while its sound plays; the last characters are typed after it has played out (or was
// stopped), so the clock runs on from the last frame the player told, at the sound's rate, on
// the monotonic clock. A frame that stands still (a server that stopped its clock at the end of
// the data) counts as played out.
class KeystrokeClock {
public:
    // How long after the last frame told the clock still runs on.
    static constexpr std::int64_t kRunOnNs = 60'000'000'000;

    // The frame at `steadyNs` (a monotonic clock, nanoseconds), given what the player tells
    // then (`heardFrame`, none when it plays nothing). Call it often while a sound plays (on
    // each keystroke and now and then), with non-decreasing `steadyNs`.
    std::optional<std::int64_t> frameAt(std::optional<std::int64_t> heardFrame,
                                        std::int64_t steadyNs);
    // The frame now, on std::chrono::steady_clock.
    std::optional<std::int64_t> frameNow(std::optional<std::int64_t> heardFrame);

    // Forgets the sound: a new rendering is timed afresh.
    void reset() { m_anchor.reset(); }

private:
    struct Anchor {
        std::int64_t frame = 0;
        std::int64_t steadyNs = 0;
    };
    std::optional<Anchor> m_anchor;
};

} // namespace vortan
