// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/windows1250.h"

#include <gtest/gtest.h>

using namespace vortan;

TEST(Windows1250, EveryByteRoundTripsAndUnencodableBecomesQuestionMark)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    const QString text = windows1250::toUnicode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(windows1250::fromUnicode(text), all);
    EXPECT_EQ(text.mid(0xB9, 1), QString::fromUtf8("ą"));
    EXPECT_EQ(windows1250::fromUnicode(QString::fromUtf8("ż€中")), "\xBF\x80?");
    EXPECT_FALSE(windows1250::canEncode(QString::fromUtf8("中")));
}
