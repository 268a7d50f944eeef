// SPDX-License-Identifier: GPL-3.0-or-later
#include "render_texts.h"

#include <cstring>
#include <string_view>

namespace vortan {

namespace {

struct TranslatedText {
    std::string_view english;
    std::string_view polish;
};

constexpr TranslatedText kPolishTexts[] = {
#include "render_texts_pl.inc"
};

TextLanguage s_language = TextLanguage::English;

bool isSet(const char* variable)
{
    return variable != nullptr && variable[0] != '\0';
}

// "pl", "pl_PL", "pl_PL.UTF-8", "pl@..." name Polish; "en..." English; others neither.
bool namesLanguage(std::string_view name, std::string_view code)
{
    return name.starts_with(code) &&
           (name.size() == code.size() || std::strchr("_.@", name[code.size()]) != nullptr);
}

} // namespace

TextLanguage textLanguage(const char* language, const char* lcAll, const char* lcMessages,
                          const char* lang)
{
    const char* locale = isSet(lcAll) ? lcAll : isSet(lcMessages) ? lcMessages : lang;
    if (!isSet(locale) || std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0 ||
        namesLanguage(locale, "C"))
        return TextLanguage::English;
    if (isSet(language)) {
        std::string_view list(language);
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            const std::string_view entry = list.substr(0, colon);
            if (namesLanguage(entry, "pl"))
                return TextLanguage::Polish;
            if (namesLanguage(entry, "en"))
                return TextLanguage::English;
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        }
    }
    return namesLanguage(locale, "pl") ? TextLanguage::Polish : TextLanguage::English;
}

void setTextLanguage(TextLanguage language)
{
    s_language = language;
}

std::string renderText(const char* /*context: one, "vortan-render"*/, const char* english)
{
    if (s_language == TextLanguage::Polish) {
        for (const TranslatedText& text : kPolishTexts) {
            if (text.english == english)
                return std::string(text.polish);
        }
    }
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

} // namespace vortan
