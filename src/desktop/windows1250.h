// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>
#include <string_view>

// Qt's widgets hold Unicode; the program's text is windows-1250 bytes. These convert at that
// edge, through the one table in base/windows1250.h (all 256 byte values round-trip).
namespace vortan::windows1250 {

QString toUnicode(std::string_view bytes);

// Characters that windows-1250 cannot hold become "?", as an 8-bit text box would store them.
std::string fromUnicode(const QString& text);

// Whether every character of the text has a windows-1250 byte.
bool canEncode(const QString& text);

} // namespace vortan::windows1250
