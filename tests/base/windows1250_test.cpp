// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "base/line_breaks.h"
#include "base/windows1250.h"

#include <gtest/gtest.h>

#include <iconv.h>

using namespace vortan;

TEST(Windows1250, EveryByteRoundTripsAndAgreesWithGlibc)
{
    const iconv_t converter = ::iconv_open("UTF-8", "WINDOWS-1250");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "glibc has no WINDOWS-1250 converter";
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t unit = windows1250::toUnicode(static_cast<unsigned char>(byte));
        EXPECT_EQ(windows1250::fromUnicode(unit), static_cast<unsigned char>(byte)) << byte;
        char in = static_cast<char>(byte), out[8];
        char *inAt = &in, *outAt = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        if (byte == 0 ||
            ::iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1))
            continue; // a byte the code page leaves undefined
        EXPECT_EQ(windows1250::fromUtf8(std::string(out, outAt)), std::string(1, in)) << byte;
    }
    ::iconv_close(converter);
    EXPECT_EQ(windows1250::fromUtf8("a\u4E2Db\U0001F600c"), "abc"); // no byte: dropped
    EXPECT_THROW(windows1250::fromUtf8("\xC3("), Error);
}

TEST(LineBreaks, EveryBreakBecomesCrLf)
{
    EXPECT_EQ(normalizeLineBreaks("a\r\nb\nc\rd\n\re\r\r\n"), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\n");
}
