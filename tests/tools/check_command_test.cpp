// SPDX-License-Identifier: GPL-3.0-or-later
// vortan-check as a real process: exit status, what it prints, JSON as documented.
#include "support/run_command.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

using namespace vortan;
using test::shellQuoted;

namespace {

test::CommandResult runCheck(const std::string& arguments, const std::string& input = {})
{
    return test::runShell(shellQuoted(VORTAN_CHECK_PATH) + ' ' + arguments, input);
}

} // namespace

TEST(CheckCommand, ScoresTwoFilesAsTheWindowDoes)
{
    test::ScratchFolder folder;
    const auto sent = folder.path / "sent.txt";
    const auto copy = folder.path / "copy.txt";
    test::writeText(sent, "vvv =\r\nabcde fghij klmno\r\n");
    // UTF-8 with a letter outside ASCII: read as UTF-8, as vortan-render reads it.
    test::writeText(copy, "abcde xghij\n\xC5\xBC");
    const auto lfSent = folder.path / "lf.txt";
    test::writeText(lfSent, "vvv =\nabcde\nfghij\n");

    struct Row {
        std::string arguments;
        std::string input;
        int status;
        std::string output; // a part of standard output
    };
    const std::string files = shellQuoted(sent.string()) + ' ' + shellQuoted(copy.string());
    const Row rows[] = {
        {files, "", 0, "Accuracy: 60.0 %\nRight 9 of 15, errors 6: wrong 2, missed 4, extra 0"},
        {files + " --json", "", 0,
         "{\"accuracy\": 60.0, \"sent\": 15, \"correct\": 9, \"wrong\": 2, \"missed\": 4, "
         "\"extra\": 0, \"errors\": [{\"kind\": \"wrong\", \"group\": 2, \"sent\": \"f\", "
         "\"copied\": \"x\"}, {\"kind\": \"missed\", \"group\": 3, \"sent\": \"k\"}, "
         "{\"kind\": \"missed\", \"group\": 3, \"sent\": \"l\"}, {\"kind\": \"missed\", "
         "\"group\": 3, \"sent\": \"m\"}, {\"kind\": \"missed\", \"group\": 3, \"sent\": "
         "\"n\"}, {\"kind\": \"wrong\", \"group\": 3, \"sent\": \"o\", \"copied\": "
         "\"\xC5\xBC\"}]}\n"},
        {shellQuoted(sent.string()) + " - --json", "abcde klmno fghij", 0,
         "\"errors\": [{\"kind\": \"moved\", \"group\": 2, \"letters\": \"fghij\", "
         "\"written_after\": 3}]}"},
        // A sent file with LF line breaks reads as the window holds it: its lines are groups.
        {shellQuoted(lfSent.string()) + " -", "abcde fghij", 0,
         "Accuracy: 100.0 %\nRight 10 of 10, errors 0"},
        {shellQuoted(sent.string()) + " missing.txt", "", 1, ""},
        {files + " --colour", "", 2, ""},
        {shellQuoted(sent.string()), "", 2, ""},
        {"- -", "", 2, ""},
    };
    for (const Row& row : rows) {
        const test::CommandResult result = runCheck(row.arguments, row.input);
        EXPECT_EQ(result.status, row.status) << row.arguments << '\n' << result.errors;
        EXPECT_NE(result.output.find(row.output), std::string::npos) << row.arguments << '\n'
                                                                     << result.output;
        EXPECT_EQ(result.errors.empty(), row.status == 0) << row.arguments;
    }
}

TEST(CheckCommand, SpeaksTheLanguageOfTheLocale)
{
    test::ScratchFolder folder;
    const auto sent = folder.path / "sent.txt";
    const auto copy = folder.path / "copy.txt";
    test::writeText(sent, "abcde fghij klmno\n");
    test::writeText(copy, "abcde xghij\n");
    const std::string files = shellQuoted(sent.string()) + ' ' + shellQuoted(copy.string());
    struct Row {
        std::string locale;
        std::string arguments;
        std::vector<std::string> outputs; // parts of standard output, in this order
    };
    const Row rows[] = {
        {"pl_PL.UTF-8",
         files,
         {"Dokładność: 60,0 %\nPoprawnie 9 z 15, błędy 6: źle odebrane 1, pominięte 5, "
          "nadmiarowe 0",
          "Nadano  abcde", "Odbiór  abcde",
          "Dokładność 60,0 procent: poprawnie 9 z 15 nadanych znaków. 6 błędów (źle odebrane: 1, "
          "pominięte: 5, nadmiarowe: 0). Pominięto grupę 3. Grupa 2: zamiast f zapisano x.\n"}},
        // Scripts read the same JSON in every language.
        {"pl_PL.UTF-8",
         files + " --json",
         {"{\"accuracy\": 60.0, \"sent\": 15", "\"kind\": \"wrong\""}},
        {"pl_PL.UTF-8", "--help", {"użycie: vortan-check NADANY ODBIÓR", "Kod wyjścia"}},
        {"en_GB.UTF-8",
         files,
         {"Accuracy: 60.0 %", "Sent  abcde", "Copy  abcde",
          "Accuracy 60.0 per cent: 9 right of 15 sent. Errors: 6 (1 wrong, 5 missed, 0 extra). "
          "Group 3 missed. Group 2: f written as x."}},
    };
    for (const Row& row : rows) {
        const test::CommandResult result =
            test::runShell("env LANGUAGE= LC_ALL= LC_MESSAGES= LANG=" + row.locale + ' ' +
                           shellQuoted(VORTAN_CHECK_PATH) + ' ' + row.arguments);
        EXPECT_EQ(result.status, 0) << row.arguments << '\n' << result.errors;
        std::size_t at = 0;
        for (const std::string& part : row.outputs) {
            at = result.output.find(part, at);
            EXPECT_NE(at, std::string::npos)
                << row.locale << ' ' << row.arguments << "\nmissing " << part << "\nin\n"
                << result.output;
        }
    }
}
