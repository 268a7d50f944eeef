// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/copy_score.h"
#include "scoring/recognition_time.h"
#include "synthesis/sent_exercise.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vortan {

// One check as a value: what was sent, what the learner copied and what it scored. The history
// keeps it whole, the raw copy included, so that a later scorer can score it anew.
struct CopyCheck {
    SentExercise sent;
    std::string copy;            // as typed, windows-1250 bytes
    std::int64_t checkedAtMs{0}; // when, milliseconds since the Unix epoch
    CopyScore score;
    // Typed along: the recognition time of each scored character (in the score's order), none
    // where it has none; empty when the copy was not typed along.
    std::vector<std::optional<RecognitionTime>> recognition{};
};

// Scores a copy against the text of the rendering it was copied from (not the text box as it
// may be by now). The check's character set is drilledSet() of the one sent with. Throws
// vortan::Error as scoreCopy does.
CopyCheck checkCopy(const SentExercise& sent, std::string copy, std::int64_t checkedAtMs);

} // namespace vortan
