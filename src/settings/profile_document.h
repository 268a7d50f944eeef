// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortan {

// The bytes of an ini ("profile") file held in memory, read and edited the way the Windows
// profile functions do it:
// - a section starts at a line "[name]"; section and key names match without regard to case
//   (ASCII letters only: the names we use are ASCII);
// - a key line is "key=value"; blanks (spaces, tabs) around the key and the value are ignored,
//   and a value in matching single or double quotes is read without them;
// - lines starting with ";" or "#" are comments; lines end in LF or CR LF, and every line we
//   write ends in CR LF unless asked to end it as the file's lines end;
// - bytes are kept as they are (windows-1250 text in practice); a NUL byte ends a value read;
// - lines we do not write are kept byte for byte, comments and blank lines included; a key
//   written goes in place of its line, or after the last entry of its section, and a new
//   section goes at the end, after a blank line.
// The first section of a name is the one read and written, and in it the first key of a name.
class ProfileDocument {
public:
    // Longest value handed out; a longer one is cut, as the profile functions' buffer cuts it.
    static constexpr std::size_t kMaxValueLength = 1023;

    ProfileDocument() = default;
    explicit ProfileDocument(std::string_view bytes);

    // The value of the key, or nothing when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // How a written line ends: CR LF, as the profile functions end every line they write, or as
    // the file's own lines do (the replaced line's ending, else that of the file's first line
    // break; CR LF for a file with none).
    enum class LineEnding { CrLf, AsTheFile };

    // Replaces the key's line in place, or adds the key at the end of its section, or adds the
    // section at the end of the document. Throws std::invalid_argument for a name or value that
    // the line format cannot hold (a line feed or NUL byte anywhere, a CR in a name, "=" in a
    // key, "]" in a section, empty or blank-padded names): they would break the file's lines.
    void setValue(std::string_view section, std::string_view key, std::string_view value,
                  LineEnding ending = LineEnding::CrLf);

    // The whole document as file bytes.
    std::string bytes() const;

private:
    enum class LineKind { Blank, Comment, Section, Key, Other };

    // A line with where its name and value lie, found once when the line is made.
    struct Line {
        std::string text;   // without its line ending
        std::string ending; // "\r\n", "\n", or "" for a last line without one
        LineKind kind = LineKind::Other;
        std::size_t nameStart = 0; // section or key name, blanks dropped
        std::size_t nameLength = 0;
        std::size_t valueStart = 0; // keys: the value, blanks dropped, quotes kept
        std::size_t valueLength = 0;

        std::string_view name() const
        {
            return std::string_view(text).substr(nameStart, nameLength);
        }
        std::string_view rawValue() const
        {
            return std::string_view(text).substr(valueStart, valueLength);
        }
    };

    static void classify(Line& line, bool firstLine);

    // Index of the first line of the section, or nothing.
    std::optional<std::size_t> findSection(std::string_view section) const;
    // Index past the last line of the section starting at sectionLine (its header).
    std::size_t sectionEnd(std::size_t sectionLine) const;
    std::optional<std::size_t> findKey(std::size_t sectionLine, std::string_view key) const;
    void insertLine(std::size_t index, std::string text, const std::string& ending);
    // The ending of the file's first line that has one; CR LF for none.
    std::string fileLineEnding() const;

    std::vector<Line> m_lines;
};

} // namespace vortan
