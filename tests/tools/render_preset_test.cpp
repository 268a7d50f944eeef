// vortan-render with a preset of the settings file, run as the real executable.

#include "../synthesis/test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

using vortan::test::ScratchFolder;

namespace {

// The program's standard output, or "exit N" when it failed.
std::string render(const std::string& arguments, const std::string& environment = "")
{
    FILE* pipe = ::popen((environment + " " VORTAN_RENDER_PATH " " + arguments).c_str(), "r");
    std::string output;
    for (int c; pipe && (c = std::fgetc(pipe)) != EOF;)
        output += static_cast<char>(c);
    const int status = pipe ? ::pclose(pipe) : -1;
    return status == 0 ? output : "exit " + std::to_string(WEXITSTATUS(status));
}

TEST(RenderPreset, ShowsThePresetOfTheNamedOrTheUsersFileClampedAndOverridden)
{
    ScratchFolder folder;
    const std::string ini = "[settings1]\r\nspeed=90\r\n[SETTINGS2]\r\nspeed=300\r\nspaces=3\r\n"
                            "tone=$3E8\r\nnoise=-4\r\nchars= \xB9q \r\nstraight=70\r\n";
    vortan::test::writeText(folder / "other.ini", ini);
    EXPECT_EQ(
        render("--preset 2 --settings " + (folder / "other.ini").string() + " --show-settings"),
        "speed=250\nspaces=3\ntone=1000\nnoise=0\nchars=\xB9q\nstraight=70\n");

    // The user's own file, found through XDG_CONFIG_HOME; options given override the preset.
    std::filesystem::create_directories(folder / "config" / "vortan");
    vortan::test::writeText(folder / "config" / "vortan" / "vortan.ini", ini);
    const std::string user = "XDG_CONFIG_HOME=" + (folder / "config").string();
    EXPECT_EQ(render("--show-settings --preset 1 --spaces 2", user),
              "speed=90\nspaces=2\ntone=600\nnoise=0\n"
              "chars=abcdefghijklmnopqrstuvwxyz0123456789/=?!\nstraight=0\n");
    EXPECT_EQ(render("--show-settings --preset 4", user), "exit 2");
}

} // namespace
