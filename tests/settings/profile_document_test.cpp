// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profile_document.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

using namespace vortan;

namespace {

TEST(ProfileDocument, FindsValuesAsTheProfileFunctionsDo)
{
    const std::string longValue(1500, 'x');
    const struct {
        std::string file;
        std::optional<std::string> expected; // of key "k" in section "s"
    } cases[] = {
        {"[S]\r\nK=1\r\n", "1"},
        {"[ s ] words\n \t k \t=  a b \t\n", "a b"},
        {"[s]\r\nk=\" a \"\r\n", " a "},
        {"[s]\r\nk='x'\r\n", "x"},
        {"[s]\r\nk=\"x'\r\n", "\"x'"},
        {"[s]\r\nk=a=b\r\n", "a=b"},
        {"[s]\r\nk=\r\n", ""},
        {"[s]\r\nk=" + longValue, longValue.substr(0, 1023)},
        {std::string("[s]\nk=ab\0cd\n", 11), "ab"},
        {"[s]\nk=1\n[S]\nk=2\nK=3\n", "1"},
        {"\xEF\xBB\xBF[s]\nk=1\n", "1"},
        {"k=1\n[s]\n;k=2\nk\n[t]\nk=3\n", std::nullopt},
        {"[s\nk=1\n", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProfileDocument(c.file).value("s", "k"), c.expected) << c.file;
}

TEST(ProfileDocument, WritesOnlyWhatItMustAndWhereTheProfileFunctionsWould)
{
    for (const std::string bytes : {"", "\r\n\n\r", "[a]\nk = v \r\n; note\n\n[b]"})
        EXPECT_EQ(ProfileDocument(bytes).bytes(), bytes);

    ProfileDocument document("; mine\n[Other]\nspeed=1\n\n[Settings1]\n  Speed = 5 \nx=y\n\n"
                             "; about b\n[b]\nk=2");
    document.setValue("settings1", "speed", "300"); // in place
    document.setValue("SETTINGS1", "new", "v");     // after the section's last entry
    document.setValue("c", "k", "3");               // a new section at the end
    EXPECT_EQ(document.bytes(), "; mine\n[Other]\nspeed=1\n\n[Settings1]\nSpeed=300\r\nx=y\n"
                                "new=v\r\n\n; about b\n[b]\nk=2\r\n\r\n[c]\r\nk=3\r\n");
    for (const char* value : {"", "with blanks inside", "a=b", "\xB9\x9C", "cr\rinside"}) {
        document.setValue("b", "k", value);
        EXPECT_EQ(ProfileDocument(document.bytes()).value("B", "K"), value);
    }

    // What a line cannot hold is refused, and nothing changes.
    const std::string before = document.bytes();
    EXPECT_THROW(document.setValue("b", "k", "a\nb"), std::invalid_argument);
    EXPECT_THROW(document.setValue("b", "k", std::string("a\0b", 3)), std::invalid_argument);
    EXPECT_THROW(document.setValue("b", "a=b", "v"), std::invalid_argument);
    EXPECT_EQ(document.bytes(), before);
}

} // namespace
