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

TEST(CommandLine, HelpAndVersionNeedNoDisplay)
{
    const CommandResult help = runVortan("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.output.starts_with("Usage: ")) << help.output;
    for (const char* option : {"--help", "--version", "Morse code"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    EXPECT_EQ(help.output.find("platform"), std::string::npos); // Qt's own stay hidden
    EXPECT_EQ(help.errors, "");
    EXPECT_EQ(runVortan("-h").output, help.output);
    const CommandResult helpAll = runVortan("--help-all");
    EXPECT_TRUE(helpAll.output.starts_with(help.output));
    EXPECT_NE(helpAll.output.find("\n  -platform <value>\n"), std::string::npos) << helpAll.output;

    const CommandResult version{0, "vortan " VORTAN_VERSION "\n", ""};
    EXPECT_EQ(runVortan("--version"), version);
    EXPECT_EQ(runVortan("-v"), version);
    // Qt's options for windowed programs are taken, spelled with one dash or two.
    EXPECT_EQ(runVortan("-platform offscreen -reverse --style=fusion --version"), version);
}

TEST(CommandLine, WhatTheProgramDoesNotTakeIsRefused)
{
    const std::string help = "\nTry 'vortan --help'.\n";
    EXPECT_EQ(runVortan("--bogus"),
              (CommandResult{2, "", "vortan: Unknown option 'bogus'." + help}));
    EXPECT_EQ(runVortan("-x"), (CommandResult{2, "", "vortan: Unknown option 'x'." + help}));
    EXPECT_EQ(runVortan("lesson.txt"),
              (CommandResult{2, "", "vortan: unexpected argument 'lesson.txt'" + help}));
    EXPECT_EQ(runVortan("--version=2"),
              (CommandResult{2, "", "vortan: Unexpected value after '--version'." + help}));
}
