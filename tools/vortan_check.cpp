// SPDX-License-Identifier: GPL-3.0-or-later
// vortan-check SENT COPY [--json]: the check window's scoring of a copy against the text sent,
// on two files, for teachers who score a class's copies and for scripts. Exit status 0; 1 for a
// file that cannot be read or checked; 2 for a wrong command line.

#include "base/errors.h"
#include "base/line_breaks.h"
#include "base/windows1250.h"
#include "files/regular_file.h"
#include "render_texts.h"
#include "scoring/copy_score.h"
#include "text_encoding.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Far more than any copy a class hands in; what is sent and copied is scored in memory.
constexpr std::size_t kMaxTextBytes = std::size_t{64} << 20;

using namespace vortan;

std::string usage()
{
    return renderText("vortan-check",
                      "usage: vortan-check SENT COPY [--json]   (- for standard input)");
}

std::string help()
{
    return usage() + '\n' +
           renderText(
               "vortan-check",
               "Scores a copy of a Morse exercise against the text sent, as Vortan's Check copy\n"
               "window does: the accuracy, the counts, the groups sent and copied side by side "
               "and\n"
               "the errors in words, in the language of the locale.\n"
               "\n"
               "  SENT, COPY  text files: UTF-8, UTF-16 or windows-1250, found as vortan-render\n"
               "              finds them; - reads standard input\n"
               "  --json      one JSON object instead, for scripts (always in English)\n"
               "  --help      show this help and exit\n"
               "\n"
               "Exit status: 0; 1 for a file that cannot be read; 2 for a wrong command line.");
}

// Columns a UTF-8 text takes (every character one).
std::size_t columns(std::string_view utf8)
{
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// A file's text as windows-1250 bytes, its encoding found as vortan-render finds it. A named
// pipe or standard input is read as a tool reads its input; an endless one ends at the limit.
std::string readText(const std::string& name)
{
    RegularFileBytes input = name == "-" ? readInputDescriptor(STDIN_FILENO, kMaxTextBytes)
                                         : readInputFile(name, kMaxTextBytes);
    if (input.state != RegularFileState::Read)
        throw Error(name + ": " + input.reason);
    const std::string bytes = std::move(input.bytes);
    try {
        // Line breaks as the window holds them (CR LF), which the sending takes as spaces.
        return normalizeLineBreaks(windows1250Text(bytes, TextEncoding::Auto));
    } catch (const Error& error) {
        throw Error(name + ": " + error.what());
    }
}

std::string jsonString(std::string_view bytes)
{
    std::string quoted = "\"";
    for (const char c : windows1250::toUtf8(bytes)) {
        if (c == '"' || c == '\\')
            quoted += {'\\', c};
        else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

std::string json(const CopyScore& score)
{
    std::ostringstream out;
    out << "{\"accuracy\": " << accuracyText(score) << ", \"sent\": " << score.sentCount
        << ", \"correct\": " << score.correct << ", \"wrong\": " << score.wrong
        << ", \"missed\": " << score.missed << ", \"extra\": " << score.extra << ", \"errors\": [";
    std::string separator;
    const auto character = [](unsigned char byte) {
        return jsonString(std::string(1, static_cast<char>(byte)));
    };
    for (const ScoredCharacter& c : score.characters) {
        const std::string group = ", \"group\": " + std::to_string(c.group + 1);
        switch (c.outcome) {
        case Outcome::Wrong:
            out << separator << "{\"kind\": \"wrong\"" << group
                << ", \"sent\": " << character(c.sent) << ", \"copied\": " << character(c.typed)
                << '}';
            break;
        case Outcome::Missed:
            out << separator << "{\"kind\": \"missed\"" << group
                << ", \"sent\": " << character(c.sent) << '}';
            break;
        case Outcome::Extra:
            out << separator << "{\"kind\": \"extra\"" << group
                << ", \"copied\": " << character(c.typed) << '}';
            break;
        default:
            continue;
        }
        separator = ", ";
    }
    for (const MovedGroup& moved : score.moved) {
        out << separator << "{\"kind\": \"moved\", \"group\": " << moved.sentGroup + 1
            << ", \"letters\": " << jsonString(moved.letters)
            << ", \"written_after\": " << moved.writtenAfterGroup + 1 << '}';
        separator = ", ";
    }
    out << "]}\n";
    return out.str();
}

// What the window shows: accuracy, counts, the aligned rows, the summary.
std::string text(const CopyScore& score)
{
    const Wording& wording = tableWording();
    std::ostringstream out;
    out << withArguments(renderText("vortan-check", "Accuracy: %1 %"),
                         {accuracyText(score, wording)})
        << '\n'
        << withArguments(renderText("vortan-check",
                                    "Right %1 of %2, errors %3: wrong %4, missed %5, extra %6"),
                         {std::to_string(score.correct), std::to_string(score.sentCount),
                          std::to_string(score.errors()), std::to_string(score.wrong),
                          std::to_string(score.missed), std::to_string(score.extra)})
        << "\n\n";
    // The rows' captions padded to one width, so that the groups line up.
    const std::string sentCaption = renderText("vortan-check", "Sent");
    const std::string copyCaption = renderText("vortan-check", "Copy");
    const std::size_t width = std::max(columns(sentCaption), columns(copyCaption)) + 2;
    const auto caption = [width](const std::string& words) {
        return words + std::string(width - columns(words), ' ');
    };
    const std::vector<AlignedGroupRows> groups = alignedGroupRows(score);
    constexpr std::size_t kGroupsPerLine = 6;
    for (std::size_t first = 0; first < groups.size(); first += kGroupsPerLine) {
        std::string sent = caption(sentCaption), copy = caption(copyCaption), marks(width, ' ');
        for (std::size_t g = first; g < std::min(groups.size(), first + kGroupsPerLine); ++g) {
            sent += windows1250::toUtf8(groups[g].sent) + "  ";
            copy += windows1250::toUtf8(groups[g].typed) + "  ";
            marks += groups[g].marks + "  ";
        }
        out << sent << '\n' << copy << '\n' << marks << "\n\n";
    }
    out << checkSummary(score, wording) << '\n';
    return out.str();
}

} // namespace

int main(int argc, char** argv)
{
    setTextLanguage(textLanguage(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                 std::getenv("LC_MESSAGES"), std::getenv("LANG")));
    std::vector<std::string> files;
    bool asJson = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--json") {
            asJson = true;
        } else if (argument == "--help") {
            std::cout << help() << '\n';
            return 0;
        } else if (argument.size() > 1 && argument[0] == '-') {
            std::cerr << "vortan-check: "
                      << withArguments(renderText("vortan-check", "unknown option %1"), {argument})
                      << '\n'
                      << usage() << '\n';
            return 2;
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() != 2 || (files[0] == "-" && files[1] == "-")) {
        std::cerr << "vortan-check: "
                  << renderText("vortan-check",
                                "give the sent text and the copy, one of them - at most")
                  << '\n'
                  << usage() << '\n';
        return 2;
    }
    try {
        const std::string sent = readText(files[0]);
        const std::string copy = readText(files[1]);
        const CopyScore score = scoreCopy(sent, copy);
        std::cout << (asJson ? json(score) : text(score));
    } catch (const Error& error) {
        std::cerr << "vortan-check: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
