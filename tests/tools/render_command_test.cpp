// Runs the real vortan-render executable.

#include "support/test_files.h"
#include "synthesis/synthesizer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace vortan;
using test::readBytes;
using test::writeText;

namespace {

// None of the arguments here holds a quote.
std::string quoted(const std::string& argument)
{
    return "'" + argument + "'";
}

// The exit status and all the program printed, `input` on its standard input.
std::pair<int, std::string> runRender(const std::vector<std::string>& arguments,
                                      const std::string& input = {},
                                      const std::string& environment = {})
{
    std::string command =
        "printf %s " + quoted(input) + " | " + environment + " " + quoted(VORTAN_RENDER_PATH);
    for (const std::string& argument : arguments)
        command += ' ' + quoted(argument);
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    std::string output;
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        output += static_cast<char>(c);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
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
    writeText(folder / "1250.txt", text);

    const std::string out = folder / "out.wav";
    for (const std::vector<std::string>& source : {std::vector<std::string>{"--text", utf8},
                                                   {"--text-file", folder / "1250.txt"},
                                                   {"--encoding=utf-8", "--text-file", "-"}}) {
        std::vector<std::string> arguments{
            "--speed=83",  "--spaces=3",    "--tone=1234", "--noise=23", "--straight=61",
            "--seed=4242", "--keying-seed", "777",         "--output",   out};
        arguments.insert(arguments.end(), source.begin(), source.end());
        EXPECT_EQ(runRender(arguments, utf8).first, 0);
        EXPECT_TRUE(readBytes(out) == readBytes(folder / "library.wav")) << source[0];
    }
    EXPECT_EQ(runRender({"--speed", "300"}),
              std::pair(2, std::string("vortan-render: --speed must lie between 40 and 250, not "
                                       "300\nTry 'vortan-render --help'.\n")));
    EXPECT_EQ(
        runRender({"--text=e", "--output", folder / "no" / "x.wav"}),
        std::pair(1, "vortan-render: Invalid filename: " + (folder / "no" / "x.wav").string() +
                         ": No such file or directory\n"));
}

TEST(RenderCommand, EndlessInputAndPipesWithoutReadersEndCleanly)
{
    // "timeout" ends a run that would wait for ever (exit status 124).
    const std::string bounded = "timeout 60";
    test::ScratchFolder folder;
    EXPECT_EQ(runRender({"--text-file", "/dev/zero", "--output", folder / "z.wav"}, {}, bounded),
              std::pair(1, std::string("vortan-render: Text exceeds what a WAV file can hold: "
                                       "/dev/zero: longer than 4405094 bytes\n")));
    EXPECT_EQ(test::entryCount(folder.path), 0u);

    const std::string fifo = folder / "fifo.wav";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(runRender({"--text=e", "--output", fifo}, {}, bounded),
              std::pair(1, "vortan-render: File access denied: " + fifo +
                               ": no program reads from this pipe\n"));
    // With a reader the pipe takes the file, as standard output and devices do.
    const std::string copy = folder / "copy.wav";
    std::FILE* reader =
        ::popen(("timeout 60 cat " + quoted(fifo) + " > " + quoted(copy)).c_str(), "w");
    const auto started = std::chrono::steady_clock::now();
    std::pair<int, std::string> piped;
    do { // until cat has opened the pipe
        piped = runRender({"--text=e", "--keying-seed=1", "--output", fifo}, {}, bounded);
    } while (piped.first == 1 &&
             std::chrono::steady_clock::now() - started < std::chrono::seconds(10));
    ::pclose(reader);
    EXPECT_EQ(piped.first, 0) << piped.second;
    EXPECT_EQ(runRender({"--text=e", "--keying-seed=1", "--output", folder / "file.wav"}).first, 0);
    EXPECT_TRUE(readBytes(copy) == readBytes(folder / "file.wav"));
    EXPECT_EQ(runRender({"--text=e", "--output", "/dev/null"}).first, 0);
}

TEST(RenderCommand, ShowsThePresetOfTheNamedOrTheUsersFileClampedAndOverridden)
{
    test::ScratchFolder folder;
    const std::string ini = "[settings1]\r\nspeed=90\r\n[SETTINGS2]\r\nspeed=300\r\nspaces=3\r\n"
                            "tone=$3E8\r\nnoise=-4\r\nchars= \xB9q \r\nstraight=70\r\n";
    writeText(folder / "other.ini", ini);
    EXPECT_EQ(runRender({"--preset", "2", "--settings", folder / "other.ini", "--show-settings"}),
              std::pair(0, std::string("speed=250\nspaces=3\ntone=1000\nnoise=0\nchars=\xB9q\n"
                                       "straight=70\n")));

    // The user's own file, found through XDG_CONFIG_HOME; options given override the preset.
    std::filesystem::create_directories(folder / "config" / "vortan");
    writeText(folder / "config" / "vortan" / "vortan.ini", ini);
    const std::string user = "XDG_CONFIG_HOME=" + quoted(folder / "config");
    EXPECT_EQ(runRender({"--show-settings", "--preset", "1", "--spaces", "2"}, {}, user),
              std::pair(0, std::string("speed=90\nspaces=2\ntone=600\nnoise=0\n"
                                       "chars=abcdefghijklmnopqrstuvwxyz0123456789/=?!\n"
                                       "straight=0\n")));
    EXPECT_EQ(runRender({"--show-settings", "--preset", "4"}, {}, user).first, 2);
}
