// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/windows1250.h"

#include "base/windows1250.h"

#include <algorithm>

namespace vortan::windows1250 {

QString toUnicode(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(toUnicode(static_cast<unsigned char>(byte)));
    return text;
}

std::string fromUnicode(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t codePoint = text.at(i).unicode();
        // A surrogate pair is one character: one "?".
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        bytes.push_back(static_cast<char>(fromUnicode(codePoint).value_or('?')));
    }
    return bytes;
}

bool canEncode(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return fromUnicode(c.unicode()).has_value(); });
}

} // namespace vortan::windows1250
