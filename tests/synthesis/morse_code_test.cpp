#include "synthesis/morse_code.h"

#include <gtest/gtest.h>

#include <set>

using namespace vortan;

TEST(MorseCode, WorkedTexts)
{
    const struct {
        std::string_view text;
        std::string_view pattern;
    } cases[] = {
        {"", ""},
        {"SOS", "... --- ... "},
        {"sos", "... --- ... "},
        {"ab", ".- -... "},
        {"a b", ".-   -... "},
        {"a\r\nb", ".-   -... "},
        {"a,b", ".- -... "},
        {"a\nb", ".- -... "},
        {"  e", "    . "},
        {"&", "-.-..-.. "},
        {"\xB9", ".-..- "},       // ą
        {"\xA5\x9C\x8C\t.-", ""}, // Ą ś Ś and signs without a code
        {"@$^*", "...-.- ----.- ..-- .-.- "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(txtotr(c.text), c.pattern) << "text: " << c.text;
}

TEST(MorseCode, OnlyAsciiCapitalsFold)
{
    for (int byte = 0; byte < 256; ++byte) {
        const std::string text(1, static_cast<char>(byte));
        if (byte >= 'A' && byte <= 'Z')
            EXPECT_EQ(txtotr(text), txtotr(std::string(1, static_cast<char>(byte + 0x20))));
        else
            EXPECT_EQ(txtotr(text), patternFor(static_cast<unsigned char>(byte))) << byte;
    }
    // The Polish capitals keep their bytes and so find no entry.
    EXPECT_EQ(txtotr("\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF"), "");
}

TEST(MorseCode, TableShape)
{
    std::set<unsigned char> keys;
    for (const MorseCodeEntry& entry : morseCodeTable) {
        EXPECT_TRUE(keys.insert(entry.byte).second) << "duplicate key " << int(entry.byte);
        ASSERT_FALSE(entry.pattern.empty());
        EXPECT_EQ(entry.pattern.back(), ' ');
        EXPECT_EQ(entry.pattern.find_first_not_of(".- "), entry.pattern.npos);
    }
    // Shared patterns.
    EXPECT_EQ(patternFor(0xF3), patternFor('p'));
    EXPECT_EQ(patternFor(0xBF), patternFor('z'));
    EXPECT_EQ(patternFor(0xEA), patternFor(0x9F));
    EXPECT_EQ(patternFor(' '), "  ");
    EXPECT_EQ(patternFor('\r'), "  ");
    EXPECT_EQ(patternFor('\n'), "");
}
