// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vortan {

// One letter of an alignment: a sent letter and what the learner typed for it. 0 on either side
// means no partner (a missed or an extra letter). Separators are not letters: they only mark
// where groups begin.
struct AlignedPair {
    unsigned char sent = 0;
    unsigned char typed = 0;
    int sentGroup = 0;  // the sent group (from 0) of the letter, or the one an extra letter is in
                        // or follows
    int copyGroup = -1; // the copied group (from 0) of the typed letter; -1 for a missed one
    bool moved = false; // part of a group written in another place

    bool operator==(const AlignedPair&) const = default;
};

// A sent group that the learner wrote whole, but in another place.
struct MovedGroup {
    int sentGroup = 0;
    int copyGroup = 0;
    int writtenAfterGroup = -1; // the sent group written just before it; -1: written first
    std::string letters;

    bool operator==(const MovedGroup&) const = default;
};

struct Alignment {
    std::vector<AlignedPair> pairs; // in the order of the sent text
    std::vector<MovedGroup> moved;
    int sentGroupCount = 0;
    int copyGroupCount = 0;
};

// Aligns a copy with the sent text (both as comparedTexts() makes them), as a learner would
// label it:
// - a copied group equal to a sent group in another place is a moved group, found first;
// - then the fewest errors (a wrong, missed or extra letter costs one; separators nothing);
// - among those, the fewest wrong letters (in doubt a letter is missed, not confused);
// - then the fewest copied groups spread over two sent groups or sent groups split in the copy;
// - then the fewest stretches of missed or extra letters.
// Letters that sound the same (soundKey) match.
//
// Cost: time and memory grow with the length times the number of errors, not with the square
// of the length. Throws vortan::Error when that would need more than 32 million cells, or when
// the copy is far longer than the text (kMaxCopyExcess).
Alignment alignCopy(std::string_view sent, std::string_view copy);

// A copy may have twice the sent letters and this many more; a longer one is not checked.
inline constexpr std::size_t kMaxCopyExcess = 200;

} // namespace vortan
