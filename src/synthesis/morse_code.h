// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vortan {

// One entry of the code table: a windows-1250 byte and the pattern it appends, trailing gap
// symbols included ("." dot, "-" dash, " " gap unit).
struct MorseCodeEntry {
    unsigned char byte;
    std::string_view pattern;
};

extern const std::array<MorseCodeEntry, 58> morseCodeTable;

// The pattern appended for one byte of text (already case-folded), empty when it has none.
std::string_view patternFor(unsigned char byte);

// The pattern appended for one byte of text as it stands, A-Z folded to a-z first.
std::string_view textBytePattern(char byte);

// Turns windows-1250 text into the pattern string: A-Z folded to a-z (nothing else), every
// byte replaced by its table entry, bytes without an entry dropped without a gap.
std::string txtotr(std::string_view text);

} // namespace vortan
