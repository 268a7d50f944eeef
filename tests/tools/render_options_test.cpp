// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "render_options.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vortan;

TEST(RenderOptions, RefusedArguments)
{
    const struct {
        std::vector<std::string_view> arguments;
        std::string_view message;
    } cases[] = {
        {{"--speed", "39"}, "--speed must lie between 40 and 250, not 39"},
        {{"--straight=101"}, "--straight must lie between 0 and 100, not 101"},
        {{"--rise", "11"}, "--rise must lie between 0 and 10, not 11"},
        {{"--seed", "4294967296"}, "--seed must lie between 0 and 4294967295, not 4294967296"},
        {{"--tone", "99999999999999999999"},
         "--tone must lie between 400 and 2000, not 99999999999999999999"},
        {{"--speed", "6O"}, "--speed needs a whole number, not \"6O\""},
        {{"--spaces", ""}, "--spaces needs a whole number, not \"\""},
        {{"--speed"}, "--speed needs a value"},
        {{"--encoding", "latin-2"},
         "--encoding must be auto, utf-8 (utf8) or windows-1250 (cp1250), not \"latin-2\""},
        {{"--encoding", "utf-16"},
         "--encoding must be auto, utf-8 (utf8) or windows-1250 (cp1250), not \"utf-16\""},
        {{"--encoding=auto", "--text", "a", "--output", "x"},
         "--encoding is for --text-file; --text is always UTF-8"},
        {{"--volume", "3"}, "unknown option \"--volume\""},
        {{"--output", "x.wav"}, "no text: give --text TEXT or --text-file FILE"},
        {{"--text", "a", "--text-file", "f", "--output", "x"},
         "give either --text or --text-file, not both"},
        {{"--text", "a"}, "no output file: give --output FILE.wav"},
    };
    for (const auto& c : cases) {
        try {
            parseRenderArguments(c.arguments);
            ADD_FAILURE() << "accepted; expected " << c.message;
        } catch (const UsageError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
    EXPECT_TRUE(parseRenderArguments(std::vector<std::string_view>{"--help"}).help);
    EXPECT_TRUE(parseRenderArguments(std::vector<std::string_view>{"--version"}).version);
}

TEST(TextEncoding, NamesAndWhatAutoTakesTheBytesFor)
{
    for (const auto& [name, encoding] : {std::pair{"auto", TextEncoding::Auto},
                                         {"AUTO", TextEncoding::Auto},
                                         {"utf-8", TextEncoding::Utf8},
                                         {"UTF-8", TextEncoding::Utf8},
                                         {"Utf8", TextEncoding::Utf8},
                                         {"windows-1250", TextEncoding::Windows1250},
                                         {"Windows-1250", TextEncoding::Windows1250},
                                         {"cp1250", TextEncoding::Windows1250},
                                         {"CP1250", TextEncoding::Windows1250}})
        EXPECT_EQ(encodingNamed(name), encoding) << name;
    for (const std::string_view name : {"", "utf", "utf-16", "windows1250", "cp-1250", "latin2"})
        EXPECT_EQ(encodingNamed(name), std::nullopt) << name;

    const struct {
        std::string_view bytes;
        TextEncoding encoding;
    } rows[] = {
        {"", TextEncoding::Windows1250},
        {"cq de sp5abc\r\n", TextEncoding::Windows1250}, // ASCII reads the same either way
        {"\xEF\xBB\xBF", TextEncoding::Utf8},
        {"\xEF\xBB\xBF\xB9", TextEncoding::Utf8}, // the mark decides, even before bad bytes
        {"za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87", TextEncoding::Utf8}, // zażółć
        {"za\xBF\xF3\xB3\xE6", TextEncoding::Windows1250},          // the same
        {"\xC5\xBC \xBF", TextEncoding::Windows1250}, // one byte that is no UTF-8 spoils it
        {"\xC3", TextEncoding::Windows1250},          // a sequence cut short
    };
    for (const auto& row : rows) {
        EXPECT_EQ(detectedEncoding(row.bytes), row.encoding)
            << testing::PrintToString(std::string(row.bytes));
    }
    EXPECT_EQ(windows1250Text("\xEF\xBB\xBF\xC5\xBC", TextEncoding::Auto), "\xBF"); // mark dropped
    EXPECT_EQ(windows1250Text("\xC5\xBC", TextEncoding::Windows1250), "\xC5\xBC");
    EXPECT_THROW(windows1250Text("\xBF", TextEncoding::Utf8), Error);
}
