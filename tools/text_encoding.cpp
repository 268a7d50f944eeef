// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_encoding.h"

#include "base/windows1250.h"

#include <algorithm>

namespace vortan {

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
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && windows1250::isValidUtf8(bytes) ? TextEncoding::Utf8
                                                     : TextEncoding::Windows1250;
}

std::string windows1250Text(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Auto)
        encoding = detectedEncoding(bytes);
    return encoding == TextEncoding::Utf8 ? windows1250::fromUtf8(bytes) : std::string(bytes);
}

} // namespace vortan
