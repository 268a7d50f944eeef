// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// What a copy check compares. The sent text is reduced to what the learner heard: characters
// that have a Morse code, small letters, a single blank between groups. The copy is reduced the
// same way, except that every typed character counts, whether it sounds or not.
namespace vortan {

inline constexpr char kGroupSeparator = ' ';

// The small letter of a windows-1250 capital (A-Z and the accented capitals); any other byte
// as it is.
unsigned char foldCase(unsigned char byte);

// One byte for every group of characters that sound the same: "ó" and "p" share ".--.", so a
// learner who hears one and writes the other is right. Bytes without a code map to themselves.
unsigned char soundKey(unsigned char byte);

// Whether a byte of the rendered text is a letter of the heard text (it has a code and is no
// gap), and whether a byte of the copy separates groups.
bool isHeardLetter(unsigned char byte);
bool isCopyBlank(unsigned char byte);

struct ComparedTexts {
    std::string sent; // letters and single separators, none at either end
    std::string copy;

    bool operator==(const ComparedTexts&) const = default;
};

// The rendered text as heard: what the renderer keys (A-Z folded, bytes without a code dropped),
// blanks and line breaks as single separators.
std::string heardText(std::string_view renderedText);

// The learner's copy: case folded, every run of white space one separator, trimmed.
std::string copiedText(std::string_view copy);

// Both texts without the lead-in "vvv =": left out of the sent text when it opens with it, and
// of the copy when the copy opens with "vvv =" or "vvv=" (or "vvv" when it was sent).
ComparedTexts comparedTexts(std::string_view renderedText, std::string_view copy);

} // namespace vortan
