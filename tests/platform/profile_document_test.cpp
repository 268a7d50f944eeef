#include "platform/profile_document.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

using namespace vortan;

namespace {

struct ReadCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

class ProfileDocumentRead : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileDocumentRead, FindsTheValueAsTheProfileFunctionsDo)
{
    const ReadCase& c = GetParam();
    EXPECT_EQ(ProfileDocument(c.file).value(c.section, c.key), c.expected);
}

const std::string kLong(1500, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileDocumentRead,
    testing::Values(
        ReadCase{"CaseOfNamesIgnored", "[SETTINGS2]\r\nSpeed=120\r\n", "settings2", "speed", "120"},
        ReadCase{"BlanksAroundKeyAndValue", "[s]\r\n \t speed \t=  a b \t\r\n", "s", "speed",
                 "a b"},
        ReadCase{"BlanksInsideBrackets", "[ s ] trailing words\nk=v\n", "s", "k", "v"},
        ReadCase{"LineFeedOnly", "[s]\nk=v\nother=w", "s", "other", "w"},
        ReadCase{"DoubleQuotes", "[s]\r\nk=\" a \"\r\n", "s", "k", " a "},
        ReadCase{"SingleQuotes", "[s]\r\nk='x'\r\n", "s", "k", "x"},
        ReadCase{"UnmatchedQuotesKept", "[s]\r\nk=\"x'\r\n", "s", "k", "\"x'"},
        ReadCase{"LoneQuoteKept", "[s]\r\nk=\"\r\n", "s", "k", "\""},
        ReadCase{"EmptyQuotes", "[s]\r\nk=''\r\n", "s", "k", ""},
        ReadCase{"EmptyValue", "[s]\r\nk=\r\n", "s", "k", ""},
        ReadCase{"ValueHoldsEquals", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        ReadCase{"BytesAsTheyAre", "[s]\r\nk=\xB9\x9C\xA3\r\n", "s", "k", "\xB9\x9C\xA3"},
        ReadCase{"LongValueCut", "[s]\r\nk=" + kLong + "\r\n", "s", "k", kLong.substr(0, 1023)},
        ReadCase{"NulEndsValue", std::string("[s]\r\nk=ab\0cd\r\n", 13), "s", "k", "ab"},
        ReadCase{"FirstOfTwoSections", "[s]\nk=1\n[S]\nk=2\n", "s", "k", "1"},
        ReadCase{"FirstOfTwoKeys", "[s]\nk=1\nK=2\n", "s", "k", "1"},
        ReadCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBF[s]\nk=1\n", "s", "k", "1"},
        ReadCase{"KeyOfAnotherSection", "[s]\n[t]\nk=1\n", "s", "k", std::nullopt},
        ReadCase{"KeyBeforeAnySection", "k=1\n[s]\n", "s", "k", std::nullopt},
        ReadCase{"CommentIsNoKey", "[s]\n;k=1\n", "s", "k", std::nullopt},
        ReadCase{"LineWithoutEqualsIsNoKey", "[s]\nk\n", "s", "k", std::nullopt},
        ReadCase{"UnclosedBracketIsNoSection", "[s\nk=1\n", "s", "k", std::nullopt},
        ReadCase{"MissingSection", "[t]\nk=1\n", "s", "k", std::nullopt}),
    [](const testing::TestParamInfo<ReadCase>& param) { return param.param.name; });

TEST(ProfileDocument, KeepsEveryByteItDoesNotWrite)
{
    for (const std::string& bytes :
         {std::string(), std::string("\r\n\n\r"), std::string("[a]\nk = v \r\n; note\n\n[b]"),
          std::string("x\0y\r\r\n", 6)})
        EXPECT_EQ(ProfileDocument(bytes).bytes(), bytes);
}

TEST(ProfileDocument, ReplacesAKeyInPlaceAndLeavesTheRestAlone)
{
    ProfileDocument document("; mine\n[Other]\nspeed=1\n\n[Settings1]\n  Speed = 5 \nx=y\n");
    document.setValue("settings1", "speed", "300");
    EXPECT_EQ(document.bytes(), "; mine\n[Other]\nspeed=1\n\n[Settings1]\nSpeed=300\r\nx=y\n");
}

TEST(ProfileDocument, AddsAKeyAfterTheLastEntryOfItsSection)
{
    ProfileDocument document("[a]\r\nk=1\r\n\r\n; about b\r\n[b]\r\nk=2\r\n");
    document.setValue("A", "new", "v");
    EXPECT_EQ(document.bytes(), "[a]\r\nk=1\r\nnew=v\r\n\r\n; about b\r\n[b]\r\nk=2\r\n");

    ProfileDocument headerOnly("[a]\n; note\n[b]\n");
    headerOnly.setValue("a", "k", "1");
    EXPECT_EQ(headerOnly.bytes(), "[a]\nk=1\r\n; note\n[b]\n");
}

TEST(ProfileDocument, AddsASectionAtTheEnd)
{
    ProfileDocument empty;
    empty.setValue("s", "k", "v");
    empty.setValue("s", "l", "w");
    EXPECT_EQ(empty.bytes(), "[s]\r\nk=v\r\nl=w\r\n");

    ProfileDocument noFinalLineBreak("[a]\nk=1");
    noFinalLineBreak.setValue("b", "k", "2");
    EXPECT_EQ(noFinalLineBreak.bytes(), "[a]\nk=1\r\n\r\n[b]\r\nk=2\r\n");

    ProfileDocument endsInBlankLine("[a]\r\n\r\n");
    endsInBlankLine.setValue("b", "k", "2");
    EXPECT_EQ(endsInBlankLine.bytes(), "[a]\r\n\r\n[b]\r\nk=2\r\n");
}

TEST(ProfileDocument, RefusesWhatALineCannotHoldAndChangesNothing)
{
    const std::string original = "[s]\r\nk=1\r\n";
    ProfileDocument document(original);
    EXPECT_THROW(document.setValue("s", "k", "a\nb"), std::invalid_argument);
    EXPECT_THROW(document.setValue("s", "k\r", "v"), std::invalid_argument);
    EXPECT_THROW(document.setValue("s", "k", std::string("a\0b", 3)), std::invalid_argument);
    EXPECT_THROW(document.setValue("s", "a=b", "v"), std::invalid_argument);
    EXPECT_THROW(document.setValue("s", " k", "v"), std::invalid_argument);
    EXPECT_THROW(document.setValue("s", "", "v"), std::invalid_argument);
    EXPECT_THROW(document.setValue("s]", "k", "v"), std::invalid_argument);
    EXPECT_EQ(document.bytes(), original);
}

TEST(ProfileDocument, WrittenValuesReadBack)
{
    ProfileDocument document("[s]\nk=old\n");
    for (const char* value : {"", "plain", "with blanks inside", "a=b", "\xB9\x9C", "cr\rinside"}) {
        document.setValue("S", "K", value);
        EXPECT_EQ(ProfileDocument(document.bytes()).value("s", "k"), value);
    }
}

} // namespace
