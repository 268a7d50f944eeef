// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/morse_code.h"

#include <algorithm>

namespace vortan {

constexpr std::array<MorseCodeEntry, 58> codeTable{{
    {0x61, ".- "},     {0xB9, ".-..- "},  {0x62, "-... "},   {0x63, "-.-. "},     {0xE6, "---. "},
    {0x64, "-.. "},    {0x65, ". "},      {0xEA, "--..- "},  {0x66, "..-. "},     {0x67, "--. "},
    {0x68, ".... "},   {0x69, ".. "},     {0x6A, ".--- "},   {0x6B, "-.- "},      {0x6C, ".-.. "},
    {0xB3, ".-... "},  {0x6D, "-- "},     {0x6E, "-. "},     {0xF1, "--.-- "},    {0x6F, "--- "},
    {0xF3, ".--. "},   {0x70, ".--. "},   {0x71, "--.- "},   {0x72, ".-. "},      {0x73, "... "},
    {0x74, "- "},      {0x75, "..- "},    {0x76, "...- "},   {0x77, ".-- "},      {0x78, "-..- "},
    {0x79, "-.-- "},   {0x7A, "--.. "},   {0x9F, "--..- "},  {0xBF, "--.. "},     {0x30, "----- "},
    {0x31, ".---- "},  {0x32, "..--- "},  {0x33, "...-- "},  {0x34, "....- "},    {0x35, "..... "},
    {0x36, "-.... "},  {0x37, "--... "},  {0x38, "---.. "},  {0x39, "----. "},    {0x21, "--..-- "},
    {0x3F, "..--.. "}, {0x2F, "-..-. "},  {0x3D, "-...- "},  {0x23, "---- "},     {0x25, ".-.-. "},
    {0x7C, "-.--. "},  {0x40, "...-.- "}, {0x24, "----.- "}, {0x26, "-.-..-.. "}, {0x5E, "..-- "},
    {0x2A, ".-.- "},   {0x20, "  "},      {0x0D, "  "},
}};

const std::array<MorseCodeEntry, 58> morseCodeTable = codeTable;

namespace {

// The table spread over all 256 byte values, so that lookup is one index per byte.
constexpr std::array<std::string_view, 256> byteIndex = [] {
    std::array<std::string_view, 256> index{};
    for (const MorseCodeEntry& entry : codeTable)
        index[entry.byte] = entry.pattern;
    return index;
}();

} // namespace

std::string_view patternFor(unsigned char byte)
{
    return byteIndex[byte];
}

std::string_view textBytePattern(char byte)
{
    auto folded = static_cast<unsigned char>(byte);
    if (folded >= 'A' && folded <= 'Z')
        folded += 0x20;
    return byteIndex[folded];
}

std::string txtotr(std::string_view text)
{
    std::string pattern;
    pattern.reserve(text.size() * 4);
    for (const char byte : text)
        pattern += textBytePattern(byte);
    return pattern;
}

} // namespace vortan
