// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace vortan::test {

struct CommandResult {
    int status = -1;    // the exit status; -1 when a signal ended the command
    std::string output; // all it wrote to standard output
    std::string errors; // all it wrote to standard error
    bool operator==(const CommandResult&) const = default;
};

// How test failures show a result.
inline void PrintTo(const CommandResult& result, std::ostream* out)
{
    *out << "status " << result.status << ", output \"" << result.output << "\", errors \""
         << result.errors << '"';
}

// `text` as one shell word.
inline std::string shellQuoted(const std::string& text)
{
    std::string word = "'";
    for (const char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

// Runs a shell command line with `input` on its standard input.
inline CommandResult runShell(const std::string& commandLine, const std::string& input = {})
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    std::string inputName = (folder / "vortan-input-XXXXXX").string();
    std::string errorsName = (folder / "vortan-errors-XXXXXX").string();
    ::close(::mkstemp(inputName.data()));
    ::close(::mkstemp(errorsName.data()));
    std::ofstream(inputName, std::ios::binary) << input;

    CommandResult result;
    const std::string redirected =
        "{ " + commandLine + "\n} <" + shellQuoted(inputName) + " 2>" + shellQuoted(errorsName);
    FILE* pipe = ::popen(redirected.c_str(), "r");
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        result.output += static_cast<char>(c);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream errors(errorsName, std::ios::binary);
    result.errors.assign(std::istreambuf_iterator<char>(errors), std::istreambuf_iterator<char>());
    std::filesystem::remove(inputName);
    std::filesystem::remove(errorsName);
    return result;
}

} // namespace vortan::test
