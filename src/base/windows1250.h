// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The program's text is windows-1250 bytes (the Morse table, the text files, the ini file); the
// desktop and the command line speak Unicode. This is the one table between them. All 256 byte
// values round-trip: the five the code page leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98)
// stand for the C1 controls of the same number, as in the platform's own tables.
namespace vortan::windows1250 {

// The UTF-16 code unit of a byte (every windows-1250 character lies in the BMP).
char16_t toUnicode(unsigned char byte);

// The byte of a code point, or nothing when windows-1250 has none.
std::optional<unsigned char> fromUnicode(char32_t codePoint);

// UTF-8 text as windows-1250 bytes. A character without a byte is left out: it would make no
// sound, just like a byte the code table has no entry for. Throws vortan::Error naming the
// offset when the input is not valid UTF-8.
std::string fromUtf8(std::string_view utf8);

// Windows-1250 bytes as UTF-8.
std::string toUtf8(std::string_view bytes);

// Whether the bytes are valid UTF-8 (overlong forms and surrogates are not).
bool isValidUtf8(std::string_view bytes);

} // namespace vortan::windows1250
