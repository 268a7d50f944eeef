#include "synthesis/errors.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <iconv.h>

using namespace vortan;

TEST(TextEncoding, AgreesWithGlibcOnEveryWindows1250Byte)
{
    const iconv_t converter = ::iconv_open("UTF-8", "WINDOWS-1250");
    if (converter == reinterpret_cast<iconv_t>(-1))
        GTEST_SKIP() << "glibc has no WINDOWS-1250 converter here";
    for (int byte = 1; byte < 256; ++byte) {
        char in = static_cast<char>(byte), out[8];
        char *inAt = &in, *outAt = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        if (::iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1))
            continue; // a byte the code page leaves undefined
        EXPECT_EQ(utf8ToWindows1250(std::string(out, outAt)), std::string(1, in)) << byte;
    }
    ::iconv_close(converter);
}

TEST(TextEncoding, DropsWhatHasNoByteAndRefusesInvalidUtf8)
{
    // CJK, emoji, a byte-order mark and a C1 control have no windows-1250 byte.
    EXPECT_EQ(utf8ToWindows1250("a\u4E2Db\U0001F600c\uFEFFd\u0081e"), "abcde");
    for (const std::string_view bad :
         {"\xC3", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"})
        EXPECT_THROW(utf8ToWindows1250(bad), Error) << testing::PrintToString(std::string(bad));
}
