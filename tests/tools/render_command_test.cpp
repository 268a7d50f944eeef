// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real vortan-render executable.

#include "support/run_command.h"
#include "support/test_files.h"
#include "synthesis/synthesizer.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>

using namespace vortan;
using test::CommandResult;
using test::readBytes;
using test::shellQuoted;
using test::writeText;

namespace {

std::string commandLine(const std::vector<std::string>& arguments)
{
    std::string command = shellQuoted(VORTAN_RENDER_PATH);
    for (const std::string& argument : arguments)
        command += ' ' + shellQuoted(argument);
    return command;
}

// The exit status and all the program printed, `input` on its standard input.
CommandResult runRender(const std::vector<std::string>& arguments, const std::string& input = {},
                        const std::string& environment = {})
{
    return test::runShell(environment + " " + commandLine(arguments), input);
}

std::string asText(const std::vector<std::uint8_t>& bytes)
{
    return {bytes.begin(), bytes.end()};
}

} // namespace

TEST(RenderCommand, MatchesTheLibraryFromEveryTextSourceAndEncoding)
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
    const std::string expected = asText(readBytes(folder / "library.wav"));
    writeText(folder / "1250.txt", text);
    writeText(folder / "utf8.txt", utf8);
    writeText(folder / "bom.txt", "\xEF\xBB\xBF" + utf8);

    const std::string out = folder / "out.wav";
    const std::vector<std::string> sources[] = {
        {"--text", utf8},
        {"--text-file", folder / "1250.txt"}, // not UTF-8, so windows-1250
        {"--text-file", folder / "utf8.txt"},
        {"--text-file", folder / "bom.txt"},
        {"--encoding", "Windows-1250", "--text-file", folder / "1250.txt"},
        {"--encoding=utf-8", "--text-file", "-"},
        {"--encoding=auto", "--text-file", "-"},
    };
    for (const std::vector<std::string>& source : sources) {
        std::vector<std::string> arguments{
            "--speed=83",  "--spaces=3",    "--tone=1234", "--noise=23", "--straight=61",
            "--seed=4242", "--keying-seed", "777",         "--output",   out};
        arguments.insert(arguments.end(), source.begin(), source.end());
        std::filesystem::remove(out);
        EXPECT_EQ(runRender(arguments, utf8), (CommandResult{0, "", ""})) << commandLine(arguments);
        EXPECT_EQ(asText(readBytes(out)), expected) << commandLine(arguments);

        // The same WAV on standard output, nothing else there.
        arguments[9] = "-";
        const CommandResult piped = runRender(arguments, utf8);
        EXPECT_EQ(piped.status, 0);
        EXPECT_TRUE(piped.output == expected) << commandLine(arguments);
        EXPECT_EQ(piped.errors, "");
    }
    // Soft keying, the rest at the program's start values.
    random.setSeed(0);
    std::make_unique<Synthesizer>(random, clock)->txtofile(folder / "soft.wav", text, {}, 7);
    EXPECT_EQ(
        runRender({"--rise", "7", "--keying-seed=777", "--text", utf8, "--output", out}).status, 0);
    EXPECT_TRUE(readBytes(out) == readBytes(folder / "soft.wav"));
}

TEST(RenderCommand, EveryFailureNamesItsFileOrOption)
{
    test::ScratchFolder folder;
    const std::string missing = folder / "missing";
    writeText(folder / "bad.txt", "ab\xC3(");
    const std::string out = folder / "out.wav";
    const std::string help = "\nTry 'vortan-render --help'.";
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string errors;
    } cases[] = {
        {{"--text=e", "--output", missing + "/x.wav"},
         1,
         missing + "/x.wav: Invalid filename: No such file or directory"},
        {{"--text=e", "--output", folder.path},
         1,
         folder.path.string() + ": File access denied: Is a directory"},
        {{"--text-file", missing, "--output", out},
         1,
         missing + ": File not found: No such file or directory"},
        {{"--encoding=utf8", "--text-file", folder / "bad.txt", "--output", out},
         1,
         folder / "bad.txt: The text is not valid UTF-8 (at byte 2)"},
        {{"--encoding=utf8", "--text-file", "-", "--output", out},
         1,
         "standard input: The text is not valid UTF-8 (at byte 2)"},
        {{"--text", "ab\xC3(", "--output", out},
         1,
         "--text: The text is not valid UTF-8 (at byte 2)"},
        {{"--preset=1", "--settings", missing, "--show-settings"}, 1, missing + ": File not found"},
        {{"--speed", "300"}, 2, "--speed must lie between 40 and 250, not 300" + help},
        {{"--text=e", "--encoding", "utf-8", "--output", out},
         2,
         "--encoding is for --text-file; --text is always UTF-8" + help},
    };
    for (const auto& c : cases) {
        const CommandResult result = runRender(c.arguments, "ab\xC3(");
        EXPECT_EQ(result, (CommandResult{c.status, "", "vortan-render: " + c.errors + "\n"}))
            << commandLine(c.arguments);
    }
    EXPECT_FALSE(std::filesystem::exists(out)); // nothing half-written
}

TEST(RenderCommand, EndlessInputAndPipesWithoutReadersEndCleanly)
{
    // "timeout" ends a run that would wait for ever (exit status 124).
    const std::string bounded = "timeout 60";
    test::ScratchFolder folder;
    EXPECT_EQ(runRender({"--text-file", "/dev/zero", "--output", folder / "z.wav"}, {}, bounded),
              (CommandResult{1, "",
                             "vortan-render: /dev/zero: Text exceeds what a WAV file can hold "
                             "(longer than " +
                                 std::to_string(4 * maxTextCharacters) + " bytes)\n"}));
    EXPECT_EQ(test::entryCount(folder.path), 0u);

    const std::string fifo = folder / "fifo.wav";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(runRender({"--text=e", "--output", fifo}, {}, bounded),
              (CommandResult{1, "",
                             "vortan-render: " + fifo +
                                 ": File access denied: no program reads from this pipe\n"}));
}

TEST(RenderCommand, SpeaksTheLanguageOfTheLocale)
{
    const std::string polish = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=pl_PL.UTF-8";
    EXPECT_EQ(runRender({"--speed", "5", "--text", "x", "--output", "-"}, {}, polish),
              (CommandResult{2, "",
                             "vortan-render: --speed musi leżeć między 40 a 250, a nie 5\n"
                             "Więcej informacji: 'vortan-render --help'.\n"}));
    const CommandResult help = runRender({"--help"}, {}, polish);
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.output.starts_with("Użycie: vortan-render")) << help.output;
    EXPECT_NE(help.output.find("  --tone N           częstotliwość tonu w Hz, od 400 do 2000 "
                               "(domyślnie 600)\n"),
              std::string::npos)
        << help.output;
    // Any other language: English.
    const CommandResult english =
        runRender({"--help"}, {}, "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=de_DE.UTF-8");
    EXPECT_TRUE(english.output.starts_with("Usage: vortan-render")) << english.output;
}
