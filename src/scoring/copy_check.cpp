// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/copy_check.h"

namespace vortan {

CopyCheck checkCopy(const SentExercise& sent, std::string copy, std::int64_t checkedAtMs)
{
    CopyScore score = scoreCopy(sent.text, copy);
    return {sent, std::move(copy), checkedAtMs, std::move(score)};
}

} // namespace vortan
