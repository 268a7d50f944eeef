// Runs the real vortan-render executable.

#include "../synthesis/test_files.h"
#include "synthesis/synthesizer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sys/wait.h>

using namespace vortan;
using test::readBytes;

namespace {

std::string quoted(const std::string& argument)
{
    std::string result = "'";
    for (const char c : argument)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

struct RunResult {
    int exitStatus;
    std::string errors;
};

// Standard error and the exit status of one run, `input` on its standard input.
RunResult runRender(const std::vector<std::string>& arguments, const std::string& input = {})
{
    std::string command = "printf %s " + quoted(input) + " | " + quoted(VORTAN_RENDER_PATH);
    for (const std::string& argument : arguments)
        command += ' ' + quoted(argument);
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    RunResult result{-1, {}};
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        result.errors += static_cast<char>(c);
    const int status = ::pclose(pipe);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace

TEST(RenderCommand, MatchesTheLibraryFromEveryTextSourceAndReportsFailures)
{
    test::ScratchFolder folder;
    // The library's rendering of the same text in windows-1250, its line break CR LF.
    const std::string text = "\xC6ma \xAFUK, 73! \xB9\xEA\r\n\x9F\xBF";
    const std::string utf8 = "Ćma ŻUK, 73! ąę\nźż";
    RandomGenerator random;
    random.setSeed(4242);
    const FixedClock clock(777);
    std::make_unique<Synthesizer>(random, clock)
        ->txtofile(folder / "library.wav", text, {83, 3, 1234, 23, 61});
    const auto expected = readBytes(folder / "library.wav");
    test::writeText(folder / "1250.txt", text);

    const std::string out = folder / "out.wav";
    for (const std::vector<std::string>& source : {std::vector<std::string>{"--text", utf8},
                                                   {"--text-file", folder / "1250.txt"},
                                                   {"--encoding=utf-8", "--text-file", "-"}}) {
        std::vector<std::string> arguments{
            "--speed=83",  "--spaces=3",    "--tone=1234", "--noise=23", "--straight=61",
            "--seed=4242", "--keying-seed", "777",         "--output",   out};
        arguments.insert(arguments.end(), source.begin(), source.end());
        const RunResult run = runRender(arguments, utf8);
        ASSERT_EQ(run.exitStatus, 0) << run.errors;
        EXPECT_TRUE(readBytes(out) == expected) << source[0];
    }
    const RunResult refused = runRender({"--speed", "300"});
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_EQ(refused.errors, "vortan-render: --speed must lie between 40 and 250, not 300\n"
                              "Try 'vortan-render --help'.\n");
    const RunResult failed = runRender({"--text=e", "--output", folder / "no" / "x.wav"});
    EXPECT_EQ(failed.exitStatus, 1);
    EXPECT_EQ(failed.errors, "vortan-render: Invalid filename\n");
}
