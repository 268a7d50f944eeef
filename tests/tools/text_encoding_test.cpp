#include "synthesis/errors.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <iconv.h>

using namespace vortan;

namespace {

// glibc's own windows-1250 decoder, as an independent check of our table.
std::string decodeWithIconv(unsigned char byte)
{
    iconv_t converter = ::iconv_open("UTF-8", "WINDOWS-1250");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return "unavailable";
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inPointer = in;
    char* outPointer = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const std::size_t result = ::iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    ::iconv_close(converter);
    if (result == static_cast<std::size_t>(-1))
        return {};
    return std::string(out, outPointer);
}

} // namespace

TEST(TextEncoding, EveryWindows1250CharacterComesBackToItsByte)
{
    if (decodeWithIconv('a') != "a")
        GTEST_SKIP() << "glibc has no WINDOWS-1250 converter here";
    for (int byte = 1; byte < 256; ++byte) {
        const std::string utf8 = decodeWithIconv(static_cast<unsigned char>(byte));
        if (utf8.empty())
            continue; // a byte the code page leaves undefined
        EXPECT_EQ(utf8ToWindows1250(utf8), std::string(1, static_cast<char>(byte))) << byte;
    }
}

TEST(TextEncoding, PolishTextAndCharactersWithoutAByte)
{
    EXPECT_EQ(utf8ToWindows1250("Zażółć gęślą jaźń"),
              "Za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1");
    // CJK, emoji, a byte-order mark and a C1 control have no windows-1250 byte: dropped.
    EXPECT_EQ(utf8ToWindows1250("a\u4E2Db\U0001F600c\uFEFFd\u0081e"), "abcde");
    EXPECT_EQ(utf8ToWindows1250(""), "");
}

TEST(TextEncoding, InvalidUtf8IsRefused)
{
    for (const std::string_view bad : {"ab\xFF", "\xC3", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF",
                                       "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"}) {
        EXPECT_THROW(utf8ToWindows1250(bad), Error) << testing::PrintToString(std::string(bad));
    }
    try {
        utf8ToWindows1250("abc\xE9xyz");
        FAIL();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "The text is not valid UTF-8 (at byte 3)");
    }
}

TEST(TextEncoding, LineBreaksBecomeCrLf)
{
    EXPECT_EQ(withCrLfLineBreaks("a\nb\r\nc\n\n"), "a\r\nb\r\nc\r\n\r\n");
    EXPECT_EQ(withCrLfLineBreaks("\nx\r"), "\r\nx\r");
}
