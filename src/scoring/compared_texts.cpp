// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/compared_texts.h"

#include "synthesis/morse_code.h"

#include <array>

namespace vortan {

namespace {

constexpr std::array<unsigned char, 256> kLowerCase = [] {
    std::array<unsigned char, 256> lower{};
    for (int byte = 0; byte < 256; ++byte)
        lower[byte] = static_cast<unsigned char>(byte);
    for (int byte = 'A'; byte <= 'Z'; ++byte)
        lower[byte] = static_cast<unsigned char>(byte + 0x20);
    // Š Ś Ť Ž Ź, Ł Ą Ş Ż Ľ: their small letters lie elsewhere in the code page.
    constexpr std::pair<unsigned char, unsigned char> pairs[] = {
        {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F},
        {0xA3, 0xB3}, {0xA5, 0xB9}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xBC, 0xBE}};
    for (const auto& [capital, small] : pairs)
        lower[capital] = small;
    // Ŕ to Ţ lie 0x20 below their small letters; 0xD7 is the multiplication sign.
    for (int byte = 0xC0; byte <= 0xDE; ++byte) {
        if (byte != 0xD7)
            lower[byte] = static_cast<unsigned char>(byte + 0x20);
    }
    return lower;
}();

// The renderer folds A-Z only: a Polish capital has no code and is not sent.
unsigned char keyedByte(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 0x20) : byte;
}

bool isHeardGap(unsigned char byte)
{
    return (byte == ' ' || byte == '\r') && !patternFor(byte).empty();
}

// Appends a separator unless the text is empty or already ends with one.
void appendSeparator(std::string& text)
{
    if (!text.empty() && text.back() != kGroupSeparator)
        text.push_back(kGroupSeparator);
}

void dropTrailingSeparator(std::string& text)
{
    if (!text.empty() && text.back() == kGroupSeparator)
        text.pop_back();
}

// Removes `prefix` from the front of `text` when it is a whole group run: followed by a
// separator or the end. Returns whether it did.
bool dropOpening(std::string& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    if (text.size() > prefix.size() && text[prefix.size()] != kGroupSeparator)
        return false;
    text.erase(0, std::min(text.size(), prefix.size() + 1));
    return true;
}

} // namespace

bool isHeardLetter(unsigned char byte)
{
    const unsigned char keyed = keyedByte(byte);
    return keyed != ' ' && keyed != '\r' && !patternFor(keyed).empty();
}

bool isCopyBlank(unsigned char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\v' ||
           byte == '\f' || byte == 0xA0; // 0xA0: no-break space
}

unsigned char foldCase(unsigned char byte)
{
    return kLowerCase[byte];
}

unsigned char soundKey(unsigned char byte)
{
    static const std::array<unsigned char, 256> keys = [] {
        std::array<unsigned char, 256> result{};
        for (int each = 0; each < 256; ++each)
            result[each] = static_cast<unsigned char>(each);
        // The first entry of the table with a pattern stands for every later one with it.
        for (auto later = morseCodeTable.rbegin(); later != morseCodeTable.rend(); ++later) {
            for (const MorseCodeEntry& first : morseCodeTable) {
                if (first.pattern == later->pattern) {
                    result[later->byte] = first.byte;
                    break;
                }
            }
        }
        return result;
    }();
    return keys[byte];
}

std::string heardText(std::string_view renderedText)
{
    std::string heard;
    heard.reserve(renderedText.size());
    for (const char c : renderedText) {
        const auto byte = static_cast<unsigned char>(c);
        if (isHeardLetter(byte))
            heard.push_back(static_cast<char>(keyedByte(byte)));
        else if (isHeardGap(byte))
            appendSeparator(heard);
    }
    dropTrailingSeparator(heard);
    return heard;
}

std::string copiedText(std::string_view copy)
{
    std::string copied;
    copied.reserve(copy.size());
    for (const char c : copy) {
        const auto byte = static_cast<unsigned char>(c);
        if (isCopyBlank(byte))
            appendSeparator(copied);
        else if (byte == 0) // 0 stands for "no partner" in an alignment: keep it apart
            copied.push_back('\x1A');
        else
            copied.push_back(static_cast<char>(foldCase(byte)));
    }
    dropTrailingSeparator(copied);
    return copied;
}

ComparedTexts comparedTexts(std::string_view renderedText, std::string_view copy)
{
    ComparedTexts texts{heardText(renderedText), copiedText(copy)};
    // The learner may write the lead-in out of habit, even where it was not sent.
    const bool copiedLeadIn = dropOpening(texts.copy, "vvv =") || dropOpening(texts.copy, "vvv=");
    if (dropOpening(texts.sent, "vvv =") && !copiedLeadIn)
        dropOpening(texts.copy, "vvv");
    return texts;
}

} // namespace vortan
