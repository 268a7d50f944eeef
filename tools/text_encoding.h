// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vortan {

// The encoding of a text file. Auto looks at the bytes: see detectedEncoding.
enum class TextEncoding { Auto, Windows1250, Utf8, Utf16Le, Utf16Be };

// The encoding a name stands for, in any case: auto, utf-8 or utf8, windows-1250 or cp1250.
std::optional<TextEncoding> encodingNamed(std::string_view name);

// UTF-16 when the bytes open with its byte-order mark (little or big endian); UTF-8 when they
// open with its byte-order mark, or are valid UTF-8 and hold a byte above 0x7F; otherwise
// windows-1250, the program's own text format. (Windows-1250 text with a letter outside ASCII is
// hardly ever valid UTF-8 as well.) Throws vortan::Error for bytes holding a NUL byte with no
// byte-order mark: UTF-16 without one, which would otherwise sound as junk.
TextEncoding detectedEncoding(std::string_view bytes);

// The bytes of a text file as windows-1250 text; a byte-order mark is no part of the text.
// Throws vortan::Error for bytes that are to be UTF-8 or UTF-16 and are not.
std::string windows1250Text(std::string_view bytes, TextEncoding encoding);

} // namespace vortan
