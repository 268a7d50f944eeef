// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_encoding.h"

#include "base/errors.h"
#include "base/windows1250.h"

#include <algorithm>
#include <string>

namespace vortan {

namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

[[noreturn]] void notUtf16(std::size_t offset)
{
    throw Error("The text is not valid UTF-16 (at byte " + std::to_string(offset) + ")");
}

// UTF-16 bytes that open with their byte-order mark as windows-1250 bytes; a character without
// a byte is left out, as windows1250::fromUtf8 leaves it out.
std::string fromUtf16(std::string_view bytes, bool bigEndian)
{
    const auto unitAt = [&](std::size_t offset) -> char32_t {
        if (offset + 1 >= bytes.size())
            notUtf16(offset);
        const auto first = static_cast<unsigned char>(bytes[offset]);
        const auto second = static_cast<unsigned char>(bytes[offset + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    std::string text;
    for (std::size_t offset = 2; offset < bytes.size(); offset += 2) {
        char32_t codePoint = unitAt(offset);
        if (codePoint >= 0xDC00 && codePoint <= 0xDFFF)
            notUtf16(offset);
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
            const char32_t low = unitAt(offset + 2);
            if (low < 0xDC00 || low > 0xDFFF)
                notUtf16(offset);
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
            offset += 2;
        }
        if (const auto byte = windows1250::fromUnicode(codePoint))
            text.push_back(static_cast<char>(*byte));
    }
    return text;
}

} // namespace

std::optional<TextEncoding> encodingNamed(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
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
    if (bytes.starts_with(kUtf16LeMark))
        return TextEncoding::Utf16Le;
    if (bytes.starts_with(kUtf16BeMark))
        return TextEncoding::Utf16Be;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    if (bytes.find('\0') != std::string_view::npos)
        throw Error("The text holds NUL bytes, as UTF-16 without a byte-order mark does; save it "
                    "as UTF-8, or as UTF-16 with a byte-order mark");
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && windows1250::isValidUtf8(bytes) ? TextEncoding::Utf8
                                                     : TextEncoding::Windows1250;
}

std::string windows1250Text(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Auto)
        encoding = detectedEncoding(bytes);
    switch (encoding) {
    case TextEncoding::Utf8:
        return windows1250::fromUtf8(bytes);
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        return fromUtf16(bytes, encoding == TextEncoding::Utf16Be);
    case TextEncoding::Auto:
    case TextEncoding::Windows1250:
        break;
    }
    return std::string(bytes);
}

} // namespace vortan
