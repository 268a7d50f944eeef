// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/line_breaks.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The exercise text as the program keeps it: windows-1250 bytes, lines separated by CR LF.
// Standard C++ only, so that the rules are tested without a window.
namespace vortan {

class RandomGenerator;

// The line that starts every text (at program start and after Clear).
inline constexpr std::string_view kOpeningLine = "vvv =";

// A random line: this many groups, each of this many characters followed by one space.
inline constexpr int kGroupsPerRandomLine = 6;
inline constexpr int kCharactersPerGroup = 5;

// The most bytes (CR LF counting two) the text box holds. Far above any exercise, and low
// enough that loading, wrapping and rendering such a text keeps the window responsive.
inline constexpr std::size_t kTextCapacityBytes = 4 * 1024 * 1024;

// What appending a line adds at the end of a text: the line and CR LF when the text is empty
// or ends with CR LF; otherwise CR LF and the line, leaving the text without a final break.
std::string appendedPart(std::string_view text, std::string_view line);

// The text with the line appended (see appendedPart).
std::string appendLine(std::string_view text, std::string_view line);

// A random line drawn from the character set: every draw picks one of the set's bytes,
// uniformly over its whole length, so a repeated byte is drawn that much more often.
// Nothing (no draw at all) for a set of fewer than two bytes.
std::optional<std::string> randomLine(std::string_view characterSet, RandomGenerator& generator);

// Where the printed lines go, in the printer's device units. Every page starts its first line
// at the same place; a line that would pass the bottom of the printable area goes to the next
// page. A page always takes at least one line, however small it is.
inline constexpr int kPrintLeft = 200;
inline constexpr int kPrintTop = 300;

struct PrintedLinePosition {
    int page = 0; // from 0
    int x = 0;
    int y = 0; // top edge of the line

    friend bool operator==(const PrintedLinePosition&, const PrintedLinePosition&) = default;
};

std::vector<PrintedLinePosition> printedLinePositions(std::size_t lineCount, int lineHeight,
                                                      int pageHeight);

} // namespace vortan
