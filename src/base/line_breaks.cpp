// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/line_breaks.h"

namespace vortan {

std::string normalizeLineBreaks(std::string_view bytes)
{
    std::string result;
    result.reserve(bytes.size() + bytes.size() / 32);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            result += kLineBreak;
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n') {
            result += kLineBreak;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace vortan
