// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/wording.h"

namespace vortan {

std::string withCount(std::string text, int n)
{
    if (n < 0)
        return text;
    const std::string count = std::to_string(n);
    for (std::size_t at = text.find("%n"); at != std::string::npos; at = text.find("%n", at)) {
        text.replace(at, 2, count);
        at += count.size();
    }
    return text;
}

const Wording& englishWording()
{
    static const Wording english{[](const char*, const char* sourceText, const char*, int n) {
        return withCount(sourceText, n);
    }};
    return english;
}

std::string withArguments(std::string_view text, std::initializer_list<std::string_view> arguments)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t number =
            text[i] == '%' && i + 1 < text.size() ? std::size_t(text[i + 1] - '0') : 0;
        if (number >= 1 && number <= arguments.size()) {
            result += *(arguments.begin() + number - 1);
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string decimalTenths(const Wording& wording, long long tenths)
{
    // The separator is a text of its own, so that each translation says which its language uses.
    return std::to_string(tenths / 10) +
           wording.translate("vortan::Wording", ".", "decimal separator") +
           std::to_string(tenths % 10);
}

} // namespace vortan
