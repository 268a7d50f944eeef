#include "synthesis/morse_code.h"

#include <gtest/gtest.h>

using namespace vortan;

TEST(MorseCode, TellingTexts)
{
    const struct {
        std::string_view text;
        std::string_view pattern;
    } cases[] = {
        {"", ""},
        {"SOS", "... --- ... "},
        {"sos", "... --- ... "},
        {"a b", ".-   -... "},
        {"a\r\nb", ".-   -... "},
        {"a,b", ".- -... "},
        {"  e", "    . "},
        {"\xB9", ".-..- "}, // ą
        // Polish capitals are not folded, and ś, tab, full stop, hyphen and LF have no code.
        {"\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF\x9C\t.-\n", ""},
        {"\xF3p", ".--. .--. "},      // ó and p
        {"\xBFz", "--.. --.. "},      // ż and z
        {"\xEA\x9F", "--..- --..- "}, // ę and ź
        {"&#%|@$^*", "-.-..-.. ---- .-.-. -.--. ...-.- ----.- ..-- .-.- "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(txtotr(c.text), c.pattern) << testing::PrintToString(std::string(c.text));
}
