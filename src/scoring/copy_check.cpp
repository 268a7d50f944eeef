// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/copy_check.h"

#include "scoring/drill_set.h"

namespace vortan {

CopyCheck checkCopy(const SentExercise& sent, std::string copy, std::int64_t checkedAtMs)
{
    CopyScore score = scoreCopy(sent.text, copy);
    CopyCheck check{sent, std::move(copy), checkedAtMs, std::move(score)};
    // A drill's check counts for the set it drills, toward that set's progress and next set.
    check.sent.characterSet = drilledSet(sent.characterSet);
    return check;
}

} // namespace vortan
