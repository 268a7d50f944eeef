// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "base/line_breaks.h"
#include "base/windows1250.h"

#include <gtest/gtest.h>

#include <iconv.h>

using namespace vortan;

TEST(Windows1250, EveryByteRoundTrips)
{
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t unit = windows1250::toUnicode(static_cast<unsigned char>(byte));
        EXPECT_EQ(windows1250::fromUnicode(unit), static_cast<unsigned char>(byte)) << byte;
    }
    EXPECT_EQ(windows1250::toUnicode(0xB9), u'\u0105'); // ą
    EXPECT_EQ(windows1250::fromUnicode(U'\u4E2D'), std::nullopt);
}

TEST(Windows1250, AgreesWithGlibcDropsWhatHasNoByteAndRefusesInvalidUtf8)
{
    const iconv_t converter = ::iconv_open("UTF-8", "WINDOWS-1250");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "glibc has no WINDOWS-1250 converter";
    for (int byte = 1; byte < 256; ++byte) {
        char in = static_cast<char>(byte), out[8];
        char *inAt = &in, *outAt = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        if (::iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1))
            continue; // a byte the code page leaves undefined
        EXPECT_EQ(windows1250::fromUtf8(std::string(out, outAt)), std::string(1, in)) << byte;
    }
    ::iconv_close(converter);

    // CJK, emoji and a byte-order mark have no windows-1250 byte; the C1 controls that stand for
    // the undefined bytes do.
    EXPECT_EQ(windows1250::fromUtf8("a\u4E2Db\U0001F600c\uFEFFd\u0081e"), "abcd\x81"
                                                                          "e");
    for (const std::string_view bad :
         {"\xC3", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"})
        EXPECT_THROW(windows1250::fromUtf8(bad), Error) << testing::PrintToString(std::string(bad));
}

TEST(LineBreaks, EveryBreakBecomesCrLf)
{
    EXPECT_EQ(normalizeLineBreaks("a\r\nb\nc\rd\n\re\r\r\n"), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\n");
    EXPECT_EQ(normalizeLineBreaks(""), "");
}
