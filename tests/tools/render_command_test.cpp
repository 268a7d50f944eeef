// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real vortan-render executable.

#include "support/run_command.h"
#include "support/test_files.h"
#include "synthesis/synthesizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

// UTF-16 bytes with their byte-order mark.
std::string utf16(std::u16string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// A vortan-render process of its own, rendering a long text into a folder, so that a test can
// send it signals in the middle.
class BackgroundRender {
public:
    BackgroundRender(const std::filesystem::path& textFile, const std::filesystem::path& output)
    {
        m_pid = ::fork();
        if (m_pid == 0) {
            // As a shell starts a program: every signal at its default action.
            for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP})
                ::signal(signalNumber, SIG_DFL);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDERR_FILENO);
            ::execl(VORTAN_RENDER_PATH, "vortan-render", "--speed=40", "--text-file",
                    textFile.c_str(), "--output", output.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~BackgroundRender()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    BackgroundRender(const BackgroundRender&) = delete;
    BackgroundRender& operator=(const BackgroundRender&) = delete;

    pid_t pid() const { return m_pid; }

    // The wait status after the signal.
    int stop(int signalNumber)
    {
        ::kill(m_pid, signalNumber);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }

private:
    pid_t m_pid = -1;
};

// The names in the folder other than `except`.
std::vector<std::string> namesIn(const std::filesystem::path& folder, const std::string& except)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename() != except)
            names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Waits until the renderer's temporary file is there (it writes for minutes).
std::optional<std::string> temporaryFileOf(const std::filesystem::path& folder)
{
    for (int wait = 0; wait < 3000; ++wait) {
        if (const auto names = namesIn(folder, "text.txt"); !names.empty())
            return names.front();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
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
    const std::u16string_view utf16Text = u"Ćma ŻUK, 73! ąę\nźż";
    writeText(folder / "utf16le.txt", utf16(utf16Text, false));
    writeText(folder / "utf16be.txt", utf16(utf16Text, true));

    const std::string out = folder / "out.wav";
    const std::vector<std::string> sources[] = {
        {"--text", utf8},
        {"--text-file", folder / "1250.txt"}, // not UTF-8, so windows-1250
        {"--text-file", folder / "utf8.txt"},
        {"--text-file", folder / "bom.txt"},
        {"--text-file", folder / "utf16le.txt"},
        {"--encoding=auto", "--text-file", folder / "utf16be.txt"},
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
    writeText(folder / "nomark.txt", std::string("a\0b\0", 4));
    writeText(folder / "odd.txt", std::string("\xFF\xFE"
                                              "a\0b",
                                              5));
    writeText(folder / "lone.txt", "\xFE\xFF\xDC\x00");
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
        {{"--text-file", folder / "nomark.txt", "--output", out},
         1,
         folder / "nomark.txt: The text holds NUL bytes, as UTF-16 without a byte-order mark "
                  "does; save it as UTF-8, or as UTF-16 with a byte-order mark"},
        {{"--text-file", folder / "odd.txt", "--output", out},
         1,
         folder / "odd.txt: The text is not valid UTF-16 (at byte 4)"},
        {{"--text-file", folder / "lone.txt", "--output", out},
         1,
         folder / "lone.txt: The text is not valid UTF-16 (at byte 2)"},
        {{"--text", "ab\xC3(", "--output", out},
         1,
         "--text: The text is not valid UTF-8 (at byte 2)"},
        {{"--preset=1", "--settings", missing, "--show-settings"}, 1, missing + ": File not found"},
        {{"--preset=1", "--settings", folder.path, "--show-settings"},
         1,
         folder.path.string() + ": Not a regular file"},
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

TEST(RenderCommand, RefusesAnOutputThatIsTheTextFileByAnyName)
{
    test::ScratchFolder folder;
    const std::string text = folder / "text.txt";
    writeText(text, "paris");
    std::filesystem::create_symlink(text, folder / "link.wav");
    std::filesystem::create_hard_link(text, folder / "hard.wav");
    for (const std::string& output :
         std::vector<std::string>{text, folder / "link.wav", folder / "hard.wav",
                                  (folder / "." / "text.txt").string()}) {
        EXPECT_EQ(runRender({"--text-file", text, "--output", output}),
                  (CommandResult{1, "",
                                 "vortan-render: --output " + output + " is the text file " + text +
                                     ": the rendering would replace the text\n"}));
        EXPECT_TRUE(asText(readBytes(text)) == "paris") << "the text was replaced";
    }
}

TEST(RenderCommand, StoppedBySignalLeavesNoTemporaryFile)
{
    test::ScratchFolder folder;
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "paris ";
    writeText(folder / "text.txt", text);
    for (const int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        BackgroundRender render(folder / "text.txt", folder / "out.wav");
        ASSERT_TRUE(temporaryFileOf(folder.path)) << strsignal(signalNumber);
        const int status = render.stop(signalNumber);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber)
            << strsignal(signalNumber) << ": wait status " << status;
        EXPECT_EQ(namesIn(folder.path, "text.txt"), std::vector<std::string>{})
            << strsignal(signalNumber);
    }

    // A killed renderer cannot clean up: the next run into the folder removes what it left, and
    // only that.
    BackgroundRender killed(folder / "text.txt", folder / "out.wav");
    const auto leftover = temporaryFileOf(folder.path);
    ASSERT_TRUE(leftover);
    const pid_t deadPid = killed.pid();
    ASSERT_TRUE(WIFSIGNALED(killed.stop(SIGKILL)));
    const std::string dead = std::to_string(deadPid);
    const std::string alive = std::to_string(::getpid());
    const std::vector<std::string> kept{
        ".vortan-" + alive + "-abcdefghijkl.tmp", // a writer that still runs
        ".vortan-" + dead + "-abcdefghijk.tmp",   // not a name a writer makes
        ".vortan-" + dead + "-linkedfile00.tmp",  // a link, maybe to a file of the user's
        ".vortan-" + dead + "-subfolder000.tmp",  "notes.tmp",
    };
    for (const std::string& name : kept) {
        if (name.find("link") != std::string::npos)
            std::filesystem::create_symlink(folder / "text.txt", folder / name);
        else if (name.find("subfolder") != std::string::npos)
            std::filesystem::create_directory(folder / name);
        else
            writeText(folder / name, "mine");
    }
    EXPECT_EQ(runRender({"--text=e", "--output", folder / "short.wav"}).status, 0);
    std::vector<std::string> expected = kept;
    expected.push_back("short.wav");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(folder.path, "text.txt"), expected) << *leftover << " was left";
}

TEST(RenderCommand, BandConditionsAsTheLibraryRendersThemAndListed)
{
    test::ScratchFolder folder;
    BandConditions conditions;
    conditions.qsbRate = 0.5;
    conditions.qsbDepthDb = 12;
    conditions.qrm = {{.offsetHz = 300, .levelDb = -6, .speed = 90}, {-250, 0, 0}};
    conditions.qrnRate = 1.5;
    conditions.qrnLevelDb = 20;
    conditions.chirpHz = -40;
    conditions.chirpMs = 60;
    RandomGenerator random;
    random.setSeed(31);
    const FixedClock clock(777);
    auto synthesizer = std::make_unique<Synthesizer>(random, clock);
    synthesizer->setBandConditions(conditions);
    synthesizer->txtofile(folder / "library.wav", "cq de sp5abc", {});
    ASSERT_GT(synthesizer->lastClippedSamples(), 0); // crashes 20 dB over the signal

    const std::vector<std::string> given{"--qsb",   "0.5:12", "--qrm",    "300:-6:90",
                                         "--qrm",   "-250:0", "--qrn",    "1.5:20",
                                         "--chirp", "-40:60", "--seed=31"};
    const std::string clippedNote =
        "vortan-render: " + std::to_string(synthesizer->lastClippedSamples()) +
        " samples clipped at the 8-bit range; lower the --qrm and "
        "--qrn levels\n";
    for (const char* output : {"first.wav", "second.wav"}) {
        std::vector<std::string> arguments = given;
        arguments.insert(arguments.end(),
                         {"--keying-seed=777", "--text=cq de sp5abc", "--output", folder / output});
        EXPECT_EQ(runRender(arguments), (CommandResult{0, "", clippedNote}));
        EXPECT_TRUE(readBytes(folder / output) == readBytes(folder / "library.wav")) << output;
    }

    std::vector<std::string> show = given;
    show.push_back("--show-settings");
    const CommandResult listed = runRender(show);
    EXPECT_EQ(listed.status, 0);
    EXPECT_TRUE(listed.output.ends_with("straight=0\nqsb=0.5:12\nqrm=300:-6:90\nqrm=-250:0\n"
                                        "qrn=1.5:20\nchirp=-40:60\n"))
        << listed.output;

    const std::string help = "\nTry 'vortan-render --help'.\n";
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--qsb", "3:10"},
         "--qsb: The fading rate (fades per second) must lie between 0 and 2, not 3"},
        {{"--qsb", "0.5"}, "--qsb: \"0.5\" is not of the form RATE:DEPTH"},
        {{"--qrm", "700:0"},
         "--qrm: The station's offset (Hz) must lie between -600 and 600, "
         "not 700"},
        {{"--qrm=1:1", "--qrm=2:2", "--qrm=3:3", "--qrm=4:4"},
         "--qrm may be given at most three times"},
        {{"--qrn", "1:x"}, "--qrn: The static level (dB) needs a number, not \"x\""},
        {{"--chirp", "50:0"},
         "--chirp: The chirp's settling time (ms) must lie between 1 and 500, not 0"},
    };
    for (const auto& [arguments, message] : refused) {
        EXPECT_EQ(runRender(arguments), (CommandResult{2, "", "vortan-render: " + message + help}))
            << commandLine(arguments);
    }
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
