// Runs the real vortan-render executable.

#include "../synthesis/reference_rendering.h"
#include "../synthesis/test_files.h"
#include "synthesis/morse_code.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace vortan;
using vortan::test::readBytes;
using vortan::test::ScratchFolder;

namespace {

struct RunResult {
    int exitStatus = -1;
    std::string errorOutput;
};

RunResult runRender(const ScratchFolder& folder, std::vector<std::string> arguments,
                    const std::string& standardInput = {})
{
    const auto inPath = folder / "stdin.txt";
    const auto errPath = folder / "stderr.txt";
    test::writeText(inPath, standardInput);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    arguments.insert(arguments.begin(), VORTAN_RENDER_PATH);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    RunResult result;
    if (posix_spawn(&pid, VORTAN_RENDER_PATH, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    const auto bytes = readBytes(errPath);
    result.errorOutput.assign(bytes.begin(), bytes.end());
    std::filesystem::remove(inPath);
    std::filesystem::remove(errPath);
    return result;
}

} // namespace

TEST(RenderCommand, FixedSeedsGiveTheExactFile)
{
    ScratchFolder folder;
    const auto out = (folder / "golden.wav").string();
    const RunResult run =
        runRender(folder, {"--speed", "83", "--spaces", "3", "--tone", "1234", "--noise", "23",
                           "--straight", "61", "--seed", "4242", "--keying-seed", "777", "--text",
                           "Ćma ŻUK, 73! ąę\nźż", "--output", out});
    ASSERT_EQ(run.exitStatus, 0) << run.errorOutput;
    // The same text in windows-1250, the LF made CR LF.
    const std::string text = "\xC6ma \xAFUK, 73! \xB9\xEA\r\n\x9F\xBF";
    const auto expected = test::referenceWav(txtotr(text), {83, 3, 1234, 23, 61, 4242, 777});
    const auto file = readBytes(out);
    ASSERT_EQ(file.size(), expected.size());
    EXPECT_TRUE(file == expected);
}

TEST(RenderCommand, TextFilesInBothEncodings)
{
    ScratchFolder folder;
    const auto fromText = (folder / "text.wav").string();
    const auto fromFile = (folder / "file.wav").string();
    const auto fromStdin = (folder / "stdin.wav").string();
    ASSERT_EQ(runRender(folder, {"--text", "ą cq\ncq", "--output", fromText}).exitStatus, 0);
    test::writeText(folder / "ex.txt", "\xB9 cq\r\ncq");
    ASSERT_EQ(runRender(folder, {"--text-file", (folder / "ex.txt").string(), "--output", fromFile})
                  .exitStatus,
              0);
    ASSERT_EQ(runRender(folder, {"--encoding=utf-8", "--text-file", "-", "--output", fromStdin},
                        "ą cq\ncq")
                  .exitStatus,
              0);
    EXPECT_GT(readBytes(fromText).size(), 44u);
    EXPECT_EQ(readBytes(fromText), readBytes(fromFile));
    EXPECT_EQ(readBytes(fromText), readBytes(fromStdin));
}

TEST(RenderCommand, FailuresReportAndExitNonZero)
{
    ScratchFolder folder;
    const struct {
        std::vector<std::string> arguments;
        int exitStatus;
        std::string message;
    } cases[] = {
        {{"--speed", "300", "--text", "a", "--output", "x.wav"},
         2,
         "vortan-render: --speed must lie between 40 and 250, not 300\n"
         "Try 'vortan-render --help'.\n"},
        {{"--text", "a", "--output", (folder / "none" / "x.wav").string()},
         1,
         "vortan-render: Invalid filename\n"},
        {{"--text-file", (folder / "absent.txt").string(), "--output", "x.wav"},
         1,
         "vortan-render: Cannot open file " + (folder / "absent.txt").string() + "\n"},
        {{"--text", "a\xFF", "--output", (folder / "x.wav").string()},
         1,
         "vortan-render: The text is not valid UTF-8 (at byte 1)\n"},
    };
    for (const auto& c : cases) {
        const RunResult run = runRender(folder, c.arguments);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << c.message;
        EXPECT_EQ(run.errorOutput, c.message);
    }
    EXPECT_EQ(folder.entryCount(), 0u);
}
