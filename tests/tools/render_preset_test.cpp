// Presets from the settings file in vortan-render: parsing, clamping, and the real executable.

#include "../synthesis/test_files.h"
#include "render_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace vortan;
using vortan::test::readBytes;
using vortan::test::ScratchFolder;

namespace {

struct RenderRun {
    int exitStatus = -1;
    std::string output; // standard output
};

RenderRun runRender(const ScratchFolder& folder, std::vector<std::string> arguments)
{
    const auto outPath = folder / "stdout.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    arguments.insert(arguments.begin(), VORTAN_RENDER_PATH);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    RenderRun run;
    if (posix_spawn(&pid, VORTAN_RENDER_PATH, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    const auto bytes = readBytes(outPath);
    run.output.assign(bytes.begin(), bytes.end());
    std::filesystem::remove(outPath);
    return run;
}

const std::string kSettingsFile = "[settings1]\r\nspeed=90\r\n"
                                  "[SETTINGS2]\r\nspeed=300\r\nspaces=3\r\ntone=$3E8\r\n"
                                  "noise=-4\r\nchars= \xB9q \r\nstraight=70\r\n";

} // namespace

TEST(RenderPreset, OptionsAndTheirRefusals)
{
    const std::vector<std::string_view> show{"--preset=2", "--settings", "s.ini",
                                             "--tone",     "900",        "--show-settings"};
    const RenderOptions options = parseRenderArguments(show);
    EXPECT_EQ(options.preset, 2);
    EXPECT_EQ(options.settingsFile, "s.ini");
    EXPECT_TRUE(options.showSettings);
    EXPECT_EQ(options.given.tone, 900);
    EXPECT_FALSE(options.given.speed);

    for (const std::vector<std::string_view>& refused :
         {std::vector<std::string_view>{"--preset", "0", "--show-settings"},
          {"--preset", "4", "--show-settings"},
          {"--settings", "s.ini", "--show-settings"},
          {"--preset", "1", "--text", "a"}})
        EXPECT_THROW(parseRenderArguments(refused), UsageError);
}

TEST(RenderPreset, PresetNumbersAreClampedAndGivenOptionsWin)
{
    const std::vector<std::string_view> arguments{"--noise", "20", "--show-settings"};
    RenderOptions options = parseRenderArguments(arguments);
    applyPreset(options, {300, -2, 399, 7, 101, "abc"});
    EXPECT_EQ(settingsListing(options.settings, "abc"),
              "speed=250\nspaces=0\ntone=400\nnoise=20\nchars=abc\nstraight=100\n");
    applyPreset(options, {39, 11, 2001, 51, -1, ""});
    EXPECT_EQ(settingsListing(options.settings, ""),
              "speed=40\nspaces=10\ntone=2000\nnoise=20\nchars=\nstraight=0\n");
}

TEST(RenderPreset, ShowSettingsReadsTheNamedOrTheUsersFile)
{
    ScratchFolder folder;
    const auto iniFile = (folder / "other.ini").string();
    test::writeText(iniFile, kSettingsFile);

    RenderRun run = runRender(folder, {"--preset", "2", "--settings", iniFile, "--show-settings"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "speed=250\nspaces=3\ntone=1000\nnoise=0\nchars=\xB9q\nstraight=70\n");

    // The user's own file, found through XDG_CONFIG_HOME; options given override the preset.
    std::filesystem::create_directories(folder / "config" / "vortan");
    test::writeText(folder / "config" / "vortan" / "vortan.ini", kSettingsFile);
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string savedValue = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    run = runRender(folder, {"--show-settings", "--preset", "1", "--spaces", "2"});
    saved ? ::setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "speed=90\nspaces=2\ntone=600\nnoise=0\n"
                          "chars=abcdefghijklmnopqrstuvwxyz0123456789/=?!\nstraight=0\n");
    EXPECT_EQ(folder.entryCount(), 2u) << "showing the settings wrote a file";
}

TEST(RenderPreset, RendersWithThePresetAsTheWindowWould)
{
    ScratchFolder folder;
    const auto iniFile = (folder / "v.ini").string();
    test::writeText(iniFile, kSettingsFile);
    const auto fromPreset = (folder / "preset.wav").string();
    const auto explicitly = (folder / "explicit.wav").string();
    const std::vector<std::string> common{"--seed", "5", "--keying-seed", "9", "--text", "cq test"};

    auto withPreset = common;
    withPreset.insert(withPreset.end(), {"--preset", "2", "--settings", iniFile, "--noise", "10",
                                         "--output", fromPreset});
    ASSERT_EQ(runRender(folder, withPreset).exitStatus, 0);
    auto withOptions = common;
    withOptions.insert(withOptions.end(),
                       {"--speed", "250", "--spaces", "3", "--tone", "1000", "--noise", "10",
                        "--straight", "70", "--output", explicitly});
    ASSERT_EQ(runRender(folder, withOptions).exitStatus, 0);

    EXPECT_GT(readBytes(fromPreset).size(), 44u);
    EXPECT_EQ(readBytes(fromPreset), readBytes(explicitly));
    EXPECT_EQ(readBytes(iniFile).size(), kSettingsFile.size()) << "rendering changed the file";
}
