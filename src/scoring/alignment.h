// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>
#include <vector>

namespace vortan {

// One step of an alignment: a sent character and what the learner typed for it. 0 on either
// side means no partner (a missed or an extra character); a separator is kGroupSeparator.
struct AlignedPair {
    unsigned char sent = 0;
    unsigned char typed = 0;

    bool operator==(const AlignedPair&) const = default;
};

// Aligns a copy with the sent text (both as comparedTexts() makes them) with the fewest edits,
// a wrong, missed or extra character costing one each (a separator too), so that one lost
// group does not shift everything after it. Among equally cheap alignments it takes one that
// pairs the most separators with separators, so groups stay side by side. A letter never pairs
// with a separator. Letters that sound the same (soundKey) match.
//
// Cost: time and memory grow with the length times the number of edits, not with the square
// of the length. Throws vortan::Error when that would need more than 64 MB.
std::vector<AlignedPair> alignCopy(std::string_view sent, std::string_view copy);

} // namespace vortan
