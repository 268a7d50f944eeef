// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/windows1250.h"

#include "base/errors.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace vortan::windows1250 {

namespace {

// Code points of the bytes 0x80 to 0xFF; an undefined byte stands for itself.
constexpr std::array<char16_t, 128> kUpperHalf{
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, //
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, //
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, //
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, //
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, //
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, //
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, //
};

// The upper half sorted by code point, for a binary search on the way back.
constexpr auto kByCodePoint = [] {
    std::array<std::pair<char16_t, unsigned char>, 128> sorted{};
    for (std::size_t i = 0; i < kUpperHalf.size(); ++i)
        sorted[i] = {kUpperHalf[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}();

// The code point of the UTF-8 sequence at utf8[at], moving `at` past it; nothing when the bytes
// there are no UTF-8 (`at` is then undefined).
std::optional<char32_t> nextCodePoint(std::string_view utf8, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    if (lead < 0x80)
        return lead;
    int continuation;
    char32_t codePoint;
    char32_t smallest;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuation = 1, codePoint = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuation = 2, codePoint = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuation = 3, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    for (int k = 0; k < continuation; ++k) {
        if (at >= utf8.size() || (static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80)
            return std::nullopt;
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[at++]) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if (codePoint < smallest || (codePoint >= 0xD800 && codePoint <= 0xDFFF) ||
        codePoint > 0x10FFFF)
        return std::nullopt;
    return codePoint;
}

} // namespace

char16_t toUnicode(unsigned char byte)
{
    return byte < 0x80 ? char16_t{byte} : kUpperHalf[byte - 0x80];
}

std::optional<unsigned char> fromUnicode(char32_t codePoint)
{
    if (codePoint < 0x80)
        return static_cast<unsigned char>(codePoint);
    const auto at = std::lower_bound(kByCodePoint.begin(), kByCodePoint.end(), codePoint,
                                     [](const std::pair<char16_t, unsigned char>& entry,
                                        char32_t c) { return entry.first < c; });
    if (at == kByCodePoint.end() || at->first != codePoint)
        return std::nullopt;
    return at->second;
}

std::string fromUtf8(std::string_view utf8)
{
    std::string result;
    result.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t start = at;
        const std::optional<char32_t> codePoint = nextCodePoint(utf8, at);
        if (!codePoint)
            throw Error("The text is not valid UTF-8 (at byte " + std::to_string(start) + ")");
        if (const auto byte = fromUnicode(*codePoint))
            result.push_back(static_cast<char>(*byte));
    }
    return result;
}

std::string toUtf8(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const char16_t unit = toUnicode(static_cast<unsigned char>(byte));
        if (unit < 0x80) {
            text.push_back(static_cast<char>(unit));
        } else if (unit < 0x800) {
            text.push_back(static_cast<char>(0xC0 | (unit >> 6)));
            text.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else {
            text.push_back(static_cast<char>(0xE0 | (unit >> 12)));
            text.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
    }
    return text;
}

bool isValidUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        if (!nextCodePoint(bytes, at))
            return false;
    }
    return true;
}

} // namespace vortan::windows1250
