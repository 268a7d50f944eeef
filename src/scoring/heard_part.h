// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "synthesis/sent_exercise.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vortan {

// The part of a sent text that was heard before Play was stopped, in the check's terms: only
// that part is checked and kept, so characters never played never count as missed.
struct HeardPart {
    std::string text;           // the rendered text up to the last character whose sound began
    int heardGroups = 0;        // sent groups begun (the check's groups, "vvv =" not one of them)
    int groupCount = 0;         // sent groups of the whole text
    bool lastGroupWhole = true; // the last group begun was heard to its end

    bool nothingHeard() const { return heardGroups == 0; }
    bool everything() const { return heardGroups == groupCount && lastGroupWhole; }
};

// The heard part of a rendered text (windows-1250) cut after its first `heardBytes` bytes.
HeardPart heardPart(std::string_view renderedText, std::size_t heardBytes);

// The heard part of a rendering stopped when `heardSample` (a sample of its file's data, as the
// player tells it; negative in the lead-in) reached the speakers: up to the last character
// whose sound had begun then.
HeardPart heardPart(const SentExercise& sent, std::int64_t heardSample);

} // namespace vortan
