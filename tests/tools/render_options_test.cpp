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
