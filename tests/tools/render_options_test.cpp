#include "base/errors.h"
#include "render_options.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <iconv.h>
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
        {{"--encoding", "latin-2"}, "--encoding must be windows-1250 or utf-8, not \"latin-2\""},
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
}

TEST(TextEncoding, AgreesWithGlibcDropsWhatHasNoByteAndRefusesInvalidUtf8)
{
    const iconv_t converter = ::iconv_open("UTF-8", "WINDOWS-1250");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "glibc has no WINDOWS-1250 converter";
    for (int byte = 1; byte < 256; ++byte) {
        char in = static_cast<char>(byte), out[8];
        char *inAt = &in, *outAt = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        if (::iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1))
            continue; // a byte the code page leaves undefined
        EXPECT_EQ(utf8ToWindows1250(std::string(out, outAt)), std::string(1, in)) << byte;
    }
    ::iconv_close(converter);

    // CJK, emoji, a byte-order mark and a C1 control have no windows-1250 byte.
    EXPECT_EQ(utf8ToWindows1250("a\u4E2Db\U0001F600c\uFEFFd\u0081e"), "abcde");
    for (const std::string_view bad :
         {"\xC3", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"})
        EXPECT_THROW(utf8ToWindows1250(bad), Error) << testing::PrintToString(std::string(bad));
}
