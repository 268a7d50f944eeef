// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real vortan executable where no display can be reached: what these command lines
// ask must be answered without one.

#include "support/run_command.h"

#include <gtest/gtest.h>

using vortan::test::CommandResult;

namespace {

CommandResult runVortan(const std::string& arguments)
{
    // xcb with no DISPLAY: opening a window would abort.
    return vortan::test::runShell(
        "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 20 " +
        vortan::test::shellQuoted(VORTAN_PATH) + " " + arguments);
}

} // namespace

TEST(CommandLine, AnswersWithoutADisplayAndRefusesWhatItDoesNotTake)
{
    const CommandResult help = runVortan("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.output.starts_with("Usage: ")) << help.output;
    EXPECT_EQ(help.errors, "");
    // Qt's options for windowed programs are taken, spelled with one dash or two.
    EXPECT_EQ(runVortan("-platform offscreen -reverse --style=fusion --version"),
              (CommandResult{0, "vortan " VORTAN_VERSION "\n", ""}));

    const std::string tryHelp = "\nTry 'vortan --help'.\n";
    EXPECT_EQ(runVortan("--bogus"),
              (CommandResult{2, "", "vortan: Unknown option 'bogus'." + tryHelp}));
    EXPECT_EQ(runVortan("lesson.txt"),
              (CommandResult{2, "", "vortan: unexpected argument 'lesson.txt'" + tryHelp}));
}
