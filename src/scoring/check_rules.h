// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The rules of the Check copy window, apart from the window: which check of a rendering is
// kept, and when the next set is offered after one.

#include "scoring/copy_check.h"
#include "scoring/progress_statistics.h"
#include "scoring/recognition_statistics.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vortan {

// What becomes of a check of the current rendering.
enum class CheckKeeping {
    NothingToKeep,   // the text sent had nothing to score
    CheckedAgain,    // shown, not kept: the rendering's first check was
    KeepNow,         // the rendering's first check
    KeepAfterUnkept, // its first check, kept after the checks the history could not take yet
};

// The history's figures that the next-set offer weighs.
struct NextSetFigures {
    int thresholdPercent = 0;
    RecentAccuracy recent{};         // of the characters nextSetCharacters() names at least
    std::optional<int> targetMs{};   // the speed target, none when off
    RecentRecognition recognition{}; // wanted with a speed target
};

// The next set a kept check earns: its entry of the character-set box (from 0), the set and
// the characters it adds (windows-1250).
struct NextSetChoice {
    std::size_t entryIndex = 0;
    std::string_view characterSet;
    std::string_view added;
    bool operator==(const NextSetChoice&) const = default;
};

class CheckRules {
public:
    // A new rendering was sent: its first check will be kept.
    void newRendering() { m_checked = false; }

    // The current rendering has been checked.
    bool checked() const { return m_checked; }

    // A check of the current rendering was made; `unkeptWaiting` when earlier checks still wait
    // for the history. Checking again after seeing the result would count one copy twice, so
    // only the first is kept.
    CheckKeeping check(const CopyScore& score, bool unkeptWaiting);

    // The characters whose figures the next-set offer after a check on this set needs; none
    // when no set can follow it.
    static std::optional<std::string_view> nextSetCharacters(std::string_view characterSet);

    // The next set a kept check earns by the history's figures, none when not earned.
    static std::optional<NextSetChoice> nextSet(const CopyCheck& check,
                                                const NextSetFigures& figures);

private:
    bool m_checked = false;
};

} // namespace vortan
