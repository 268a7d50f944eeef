// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real vortan executable where no display can be reached: what these command lines
// ask must be answered without one.

#include "support/run_command.h"

#include <gtest/gtest.h>

using vortan::test::CommandResult;

namespace {

// In the language LANG names (English when it has no translation), with the environment's
// further settings (NAME=value ...).
CommandResult runVortan(const std::string& arguments, const std::string& lang = "C.UTF-8",
                        const std::string& environment = "-u XDG_CONFIG_HOME")
{
    // xcb with no DISPLAY: opening a window would abort.
    return vortan::test::runShell(
        "env -u DISPLAY -u WAYLAND_DISPLAY -u LANGUAGE -u LC_ALL -u LC_MESSAGES " + environment +
        " LANG=" + lang + " QT_QPA_PLATFORM=xcb timeout 20 " +
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

TEST(CommandLine, HelpNamesTheSettingsFileTheProgramUses)
{
    struct Case {
        std::string environment;
        std::string helpHas;
    };
    const Case cases[] = {
        {"-u XDG_CONFIG_HOME HOME=/home/learner", "kept in\n~/.config/vortan/vortan.ini. See"},
        {"HOME=/home/learner XDG_CONFIG_HOME=/srv/profiles/learner",
         "kept in\n/srv/profiles/learner/vortan/vortan.ini. See"},
        {"HOME=/home/learner XDG_CONFIG_HOME=/home/learner/settings",
         "kept in\n~/settings/vortan/vortan.ini. See"},
        // Not an absolute path: the rules' default applies.
        {"HOME=/home/learner XDG_CONFIG_HOME=relative", "kept in\n~/.config/vortan/vortan.ini."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.environment);
        const CommandResult help = runVortan("--help", "C.UTF-8", c.environment);
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.output.find(c.helpHas), std::string::npos) << help.output;
    }
    const CommandResult polish =
        runVortan("--help", "pl_PL.UTF-8", "HOME=/home/learner XDG_CONFIG_HOME=/srv/learner");
    EXPECT_NE(polish.output.find("w /srv/learner/vortan/vortan.ini. Zobacz"), std::string::npos)
        << polish.output;
}

TEST(CommandLine, SpeaksTheLanguageOfTheLocale)
{
    struct Case {
        std::string lang;
        std::string helpHas;
        std::string refusal;
    };
    const Case cases[] = {
        {"pl_PL.UTF-8", "Vortan uczy odbioru alfabetu Morse'a ze słuchu",
         "vortan: nieoczekiwany argument 'lesson.txt'\nWięcej informacji: 'vortan --help'.\n"},
        {"de_DE.UTF-8", "Vortan teaches you to receive Morse code by ear",
         "vortan: unexpected argument 'lesson.txt'\nTry 'vortan --help'.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lang);
        const CommandResult help = runVortan("--help", c.lang);
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.output.find(c.helpHas), std::string::npos) << help.output;
        EXPECT_EQ(runVortan("lesson.txt", c.lang), (CommandResult{2, "", c.refusal}));
    }
}
