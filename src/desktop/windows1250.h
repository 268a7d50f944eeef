#pragma once

#include <QString>

#include <string>
#include <string_view>

// The program's text is windows-1250 bytes (the Morse table, the text files, the ini file);
// Qt's widgets hold Unicode. These two convert at that edge. All 256 byte values round-trip,
// the five unassigned ones included (they map to the C1 controls U+0081 and so on).
namespace vortan::windows1250 {

QString toUnicode(std::string_view bytes);

// Characters that windows-1250 cannot hold become "?", as an 8-bit text box would store them.
std::string fromUnicode(const QString& text);

// Whether every character of the text has a windows-1250 byte.
bool canEncode(const QString& text);

} // namespace vortan::windows1250
