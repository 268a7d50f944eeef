// SPDX-License-Identifier: GPL-3.0-or-later
#include "render_texts.h"
#include "settings/settings_schema.h"

#include <gtest/gtest.h>

using namespace vortan;

namespace {

struct LanguageCase {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    TextLanguage expected;
};

} // namespace

TEST(RenderTexts, LanguageFollowsTheLocaleAsGettextDoes)
{
    constexpr auto pl = TextLanguage::Polish;
    constexpr auto en = TextLanguage::English;
    const LanguageCase cases[] = {
        {nullptr, nullptr, nullptr, "pl_PL.UTF-8", pl},
        {nullptr, nullptr, nullptr, "pl", pl},
        {nullptr, nullptr, nullptr, "pl_PL@euro", pl},
        {nullptr, nullptr, nullptr, "plt_XX", en}, // another language that starts with "pl"
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", en},
        {nullptr, nullptr, nullptr, nullptr, en},
        {"", "", "", "", en},
        {nullptr, "C.UTF-8", nullptr, "pl_PL.UTF-8", en}, // LC_ALL wins over LANG
        {nullptr, nullptr, "pl_PL.UTF-8", "en_GB.UTF-8", pl},
        {"pl", nullptr, nullptr, "C", en}, // C ignores LANGUAGE
        {"pl:en", nullptr, nullptr, "en_US.UTF-8", pl},
        {"de:en:pl", nullptr, nullptr, "pl_PL.UTF-8", en},
        {"de", nullptr, nullptr, "pl_PL.UTF-8", pl}, // nothing usable in LANGUAGE: the locale
    };
    for (const LanguageCase& c : cases) {
        SCOPED_TRACE(std::string(c.language ? c.language : "-") + " " + (c.lcAll ? c.lcAll : "-") +
                     " " + (c.lcMessages ? c.lcMessages : "-") + " " + (c.lang ? c.lang : "-"));
        EXPECT_EQ(textLanguage(c.language, c.lcAll, c.lcMessages, c.lang), c.expected);
    }
}

TEST(RenderTexts, ArgumentsReplaceTheirNumbersOnce)
{
    EXPECT_EQ(
        withArguments("%1 must lie between %2 and %3, not %4", {"--tone", "400", "2000", "9"}),
        "--tone must lie between 400 and 2000, not 9");
    EXPECT_EQ(withArguments("%2 before %1", {"a", "b"}), "b before a");
    // An argument's own "%2" stays; a number past the arguments and a lone % stay too.
    EXPECT_EQ(withArguments("%1 and %2", {"%2", "x"}), "%2 and x");
    EXPECT_EQ(withArguments("%1: %2% of %3", {"f", "50"}), "f: 50% of %3");
    EXPECT_EQ(withArguments("100%", {}), "100%");
}

TEST(RenderTexts, PolishCoversTheHelpsSettingDescriptions)
{
    setTextLanguage(TextLanguage::Polish);
    EXPECT_EQ(renderText("vortan-render", "no output file: give --output FILE.wav"),
              "brak pliku wyjściowego: podaj --output PLIK.wav");
    // The schema's descriptions are marked for translation in the renderer; one changed there
    // and not here would show in English.
    for (const IntegerSetting& setting : kIntegerSettings) {
        const std::string english(setting.description);
        EXPECT_NE(renderText("vortan-render", english.c_str()), english);
    }
    EXPECT_EQ(renderText("vortan-render", "a text nobody marked"), "a text nobody marked");
    setTextLanguage(TextLanguage::English);
    EXPECT_EQ(renderText("vortan-render", "no output file: give --output FILE.wav"),
              "no output file: give --output FILE.wav");
}

TEST(RenderTexts, PolishPluralFormsAndDecimalComma)
{
    setTextLanguage(TextLanguage::Polish);
    const std::pair<int, std::string> counts[] = {
        {1, "1 błąd"},     {2, "2 błędy"},   {4, "4 błędy"},    {5, "5 błędów"},
        {12, "12 błędów"}, {22, "22 błędy"}, {25, "25 błędów"}, {104, "104 błędy"},
    };
    for (const auto& [n, words] : counts) {
        const std::string text = renderText(
            "vortan::CheckSummary", "Errors: %n (%1 wrong, %2 missed, %3 extra).", nullptr, n);
        EXPECT_EQ(text.substr(0, words.size()), words) << text;
    }
    EXPECT_EQ(decimalTenths(tableWording(), 833), "83,3");
    setTextLanguage(TextLanguage::English);
    EXPECT_EQ(decimalTenths(tableWording(), 833), "83.3");
    EXPECT_EQ(renderText("vortan::CheckSummary", "Errors: %n (%1 wrong, %2 missed, %3 extra).",
                         nullptr, 2),
              "Errors: 2 (%1 wrong, %2 missed, %3 extra).");
}
