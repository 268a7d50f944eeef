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
