#include "text_encoding.h"

#include "synthesis/errors.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace vortan {

namespace {

// Code points of the bytes 0x80 to 0xFF; 0 where the code page leaves a byte undefined.
constexpr std::array<char32_t, 128> upperHalf{
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, //
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, //
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, //
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

// 0 when the code point has no byte, and for 0 itself.
unsigned char windows1250Byte(char32_t codePoint)
{
    if (codePoint < 0x80)
        return static_cast<unsigned char>(codePoint);
    for (std::size_t i = 0; i < upperHalf.size(); ++i) {
        if (upperHalf[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    }
    return 0;
}

// The code point of the UTF-8 sequence at utf8[at], moving `at` past it; nullopt when the bytes
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

bool isValidUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        if (!nextCodePoint(bytes, at))
            return false;
    }
    return true;
}

std::string lowerCase(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

} // namespace

std::string utf8ToWindows1250(std::string_view utf8)
{
    std::string result;
    result.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t start = at;
        const std::optional<char32_t> codePoint = nextCodePoint(utf8, at);
        if (!codePoint)
            throw Error("The text is not valid UTF-8 (at byte " + std::to_string(start) + ")");
        if (const unsigned char byte = windows1250Byte(*codePoint); byte != 0 || *codePoint == 0)
            result.push_back(static_cast<char>(byte));
    }
    return result;
}

std::optional<TextEncoding> encodingNamed(std::string_view name)
{
    const std::string lower = lowerCase(name);
    if (lower == "auto")
        return TextEncoding::Auto;
    if (lower == "utf-8" || lower == "utf8")
        return TextEncoding::Utf8;
    if (lower == "windows-1250" || lower == "cp1250")
        return TextEncoding::Windows1250;
    return std::nullopt;
}

TextEncoding detectedEncoding(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1250;
}

std::string windows1250Text(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Auto)
        encoding = detectedEncoding(bytes);
    return encoding == TextEncoding::Utf8 ? utf8ToWindows1250(bytes) : std::string(bytes);
}

std::string withCrLfLineBreaks(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            result.push_back('\r');
        result.push_back(text[i]);
    }
    return result;
}

} // namespace vortan
