#include "render_options.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vortan;

namespace {

RenderOptions parse(std::vector<std::string_view> arguments)
{
    return parseRenderArguments(arguments);
}

std::string refusal(std::vector<std::string_view> arguments)
{
    try {
        parse(arguments);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

} // namespace

TEST(RenderOptions, DefaultsAreTheProgramsStartValues)
{
    const RenderOptions options = parse({"--text", "vvv =", "--output", "out.wav"});
    EXPECT_EQ(options.settings.speed, 60);
    EXPECT_EQ(options.settings.spaces, 0);
    EXPECT_EQ(options.settings.tone, 600);
    EXPECT_EQ(options.settings.noise, 0);
    EXPECT_EQ(options.settings.straight, 0);
    EXPECT_FALSE(options.seed);
    EXPECT_FALSE(options.keyingSeed);
    EXPECT_EQ(options.encoding, TextEncoding::Windows1250);
    EXPECT_EQ(options.text, "vvv =");
    EXPECT_EQ(options.output, "out.wav");
}

TEST(RenderOptions, EveryOptionInBothForms)
{
    const RenderOptions options =
        parse({"--speed", "250", "--spaces=10", "--tone", "2000", "--noise=50", "--straight", "100",
               "--seed", "4294967295", "--keying-seed=0", "--encoding", "utf-8", "--text-file", "-",
               "--output=a b.wav"});
    EXPECT_EQ(options.settings.speed, 250);
    EXPECT_EQ(options.settings.spaces, 10);
    EXPECT_EQ(options.settings.tone, 2000);
    EXPECT_EQ(options.settings.noise, 50);
    EXPECT_EQ(options.settings.straight, 100);
    EXPECT_EQ(options.seed, 4294967295u);
    EXPECT_EQ(options.keyingSeed, 0u);
    EXPECT_EQ(options.encoding, TextEncoding::Utf8);
    EXPECT_EQ(options.textFile, "-");
    EXPECT_EQ(options.output, "a b.wav");
    EXPECT_TRUE(parse({"--output", "x", "--help"}).help);
}

TEST(RenderOptions, RefusedArguments)
{
    const struct {
        std::vector<std::string_view> arguments;
        std::string_view message;
    } cases[] = {
        {{"--speed", "39"}, "--speed must lie between 40 and 250, not 39"},
        {{"--speed", "251"}, "--speed must lie between 40 and 250, not 251"},
        {{"--spaces", "11"}, "--spaces must lie between 0 and 10, not 11"},
        {{"--tone", "399"}, "--tone must lie between 400 and 2000, not 399"},
        {{"--noise", "-1"}, "--noise must lie between 0 and 50, not -1"},
        {{"--straight", "101"}, "--straight must lie between 0 and 100, not 101"},
        {{"--seed", "4294967296"}, "--seed must lie between 0 and 4294967295, not 4294967296"},
        {{"--speed", "99999999999999999999"},
         "--speed must lie between 40 and 250, not 99999999999999999999"},
        {{"--speed", "6O"}, "--speed needs a whole number, not \"6O\""},
        {{"--tone", ""}, "--tone needs a whole number, not \"\""},
        {{"--keying-seed", "1.5"}, "--keying-seed needs a whole number, not \"1.5\""},
        {{"--speed"}, "--speed needs a value"},
        {{"--encoding", "latin-2"}, "--encoding must be windows-1250 or utf-8, not \"latin-2\""},
        {{"--volume", "3"}, "unknown option \"--volume\""},
        {{"out.wav"}, "unknown option \"out.wav\""},
        {{"--output", "x.wav"}, "no text: give --text TEXT or --text-file FILE"},
        {{"--text", "a", "--text-file", "f", "--output", "x"},
         "give either --text or --text-file, not both"},
        {{"--text", "a"}, "no output file: give --output FILE.wav"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(refusal(c.arguments), c.message);
}

TEST(RenderOptions, HelpExplainsEveryOption)
{
    const std::string usage = renderUsage();
    for (const char* option :
         {"--speed", "--spaces", "--tone", "--noise", "--straight", "--seed", "--keying-seed",
          "--encoding", "--text", "--text-file", "--output", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}
