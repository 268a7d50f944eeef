// SPDX-License-Identifier: GPL-3.0-or-later
#include "render_texts.h"

#include <cstring>
#include <string_view>

namespace vortan {

namespace {

struct TranslatedText {
    std::string_view context;
    std::string_view english;
    std::string_view disambiguation; // "" for none
    std::string_view polish[3];      // one form, or the plural forms of a %n text
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

// Polish plural forms, as Qt's translations number them: 1; 2-4, 22-24, ... (not 12-14); others.
int polishForm(int n)
{
    if (n == 1)
        return 0;
    const int tens = n % 100;
    return n % 10 >= 2 && n % 10 <= 4 && (tens < 10 || tens >= 20) ? 1 : 2;
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

std::string renderText(const char* context, const char* english, const char* disambiguation, int n)
{
    const std::string_view comment = disambiguation == nullptr ? "" : disambiguation;
    std::string text = english;
    if (s_language == TextLanguage::Polish) {
        for (const TranslatedText& row : kPolishTexts) {
            if (row.context == context && row.english == english && row.disambiguation == comment) {
                const int form = n < 0 ? 0 : polishForm(n);
                text = row.polish[form].empty() ? row.polish[0] : row.polish[form];
                break;
            }
        }
    }
    return withCount(std::move(text), n);
}

const Wording& tableWording()
{
    static const Wording table{renderText};
    return table;
}

} // namespace vortan
