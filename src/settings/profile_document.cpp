// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profile_document.h"

#include <algorithm>
#include <stdexcept>

namespace vortan {

namespace {

// Blanks around names and values; a stray CR counts as one.
constexpr std::string_view kWhiteSpace = " \t\r\v\f";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

bool isComment(std::string_view text)
{
    return !text.empty() && (text.front() == ';' || text.front() == '#');
}

bool holdsLineBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool isBlankPadded(std::string_view name)
{
    return name.empty() || trimmed(name).size() != name.size();
}

} // namespace

void ProfileDocument::classify(Line& line, bool firstLine)
{
    std::string_view text = line.text;
    std::size_t skipped = 0;
    // An editor may have put a byte-order mark first: kept, but not part of any name.
    if (firstLine && text.starts_with(kUtf8ByteOrderMark))
        skipped = kUtf8ByteOrderMark.size();
    text.remove_prefix(skipped);
    const std::string_view content = trimmed(text);
    const auto offsetOf = [&line](std::string_view part) {
        return static_cast<std::size_t>(part.data() - line.text.data());
    };
    line.kind = LineKind::Other;
    if (content.empty()) {
        line.kind = LineKind::Blank;
    } else if (isComment(content)) {
        line.kind = LineKind::Comment;
    } else if (const auto close = content.find(']');
               content.front() == '[' && close != std::string_view::npos) {
        // "[name]", anything after the "]" ignored.
        const std::string_view name = trimmed(content.substr(1, close - 1));
        line.kind = LineKind::Section;
        line.nameStart = name.empty() ? 0 : offsetOf(name);
        line.nameLength = name.size();
    } else if (const auto equals = content.find('='); equals != std::string_view::npos) {
        const std::string_view key = trimmed(content.substr(0, equals));
        const std::string_view value = trimmed(content.substr(equals + 1));
        line.kind = LineKind::Key;
        line.nameStart = key.empty() ? 0 : offsetOf(key);
        line.nameLength = key.size();
        line.valueStart = value.empty() ? 0 : offsetOf(value);
        line.valueLength = value.size();
    }
}

ProfileDocument::ProfileDocument(std::string_view bytes)
{
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto newline = bytes.find('\n', start);
        Line line;
        if (newline == std::string_view::npos) {
            line.text = bytes.substr(start);
            start = bytes.size();
        } else {
            std::size_t textEnd = newline;
            line.ending = "\n";
            if (textEnd > start && bytes[textEnd - 1] == '\r') {
                --textEnd;
                line.ending = "\r\n";
            }
            line.text = bytes.substr(start, textEnd - start);
            start = newline + 1;
        }
        classify(line, m_lines.empty());
        m_lines.push_back(std::move(line));
    }
}

std::string ProfileDocument::bytes() const
{
    std::size_t size = 0;
    for (const Line& line : m_lines)
        size += line.text.size() + line.ending.size();
    std::string result;
    result.reserve(size);
    for (const Line& line : m_lines) {
        result += line.text;
        result += line.ending;
    }
    return result;
}

std::optional<std::size_t> ProfileDocument::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == LineKind::Section && sameName(m_lines[i].name(), section))
            return i;
    return std::nullopt;
}

std::size_t ProfileDocument::sectionEnd(std::size_t sectionLine) const
{
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i)
        if (m_lines[i].kind == LineKind::Section)
            return i;
    return m_lines.size();
}

std::optional<std::size_t> ProfileDocument::findKey(std::size_t sectionLine,
                                                    std::string_view key) const
{
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == LineKind::Section)
            break;
        if (line.kind == LineKind::Key && sameName(line.name(), key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const
{
    const auto sectionLine = findSection(section);
    if (!sectionLine)
        return std::nullopt;
    const auto keyLine = findKey(*sectionLine, key);
    if (!keyLine)
        return std::nullopt;
    std::string_view value = m_lines[*keyLine].rawValue();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    // The profile functions hand out C strings: a NUL byte ends the value.
    value = value.substr(0, value.find('\0'));
    return std::string(value.substr(0, kMaxValueLength));
}

void ProfileDocument::setValue(std::string_view section, std::string_view key,
                               std::string_view value, LineEnding ending)
{
    if (isBlankPadded(section) || holdsLineBreakOrNul(section) ||
        section.find(']') != std::string_view::npos)
        throw std::invalid_argument("unusable profile section name");
    if (isBlankPadded(key) || holdsLineBreakOrNul(key) || key.find('=') != std::string_view::npos ||
        key.front() == '[' || isComment(key))
        throw std::invalid_argument("unusable profile key name");
    // Lines end at LF only, so a CR inside a value is kept as read; a LF would start a new line.
    if (value.find_first_of(std::string_view("\n\0", 2)) != std::string_view::npos)
        throw std::invalid_argument("a profile value cannot hold a line feed or a NUL byte");

    const std::string newEnding = ending == LineEnding::CrLf ? "\r\n" : fileLineEnding();
    const auto sectionLine = findSection(section);
    if (!sectionLine) {
        std::size_t end = m_lines.size();
        // A blank line before a new section, unless the file is empty or already ends in one.
        if (end > 0 && m_lines.back().kind != LineKind::Blank)
            insertLine(end++, "", newEnding);
        insertLine(end++, "[" + std::string(section) + "]", newEnding);
        insertLine(end, std::string(key) + "=" + std::string(value), newEnding);
        return;
    }
    if (const auto keyLine = findKey(*sectionLine, key)) {
        Line& line = m_lines[*keyLine];
        // Keep the file's own spelling of the key.
        line.text = std::string(line.name()) + "=" + std::string(value);
        if (ending == LineEnding::CrLf)
            line.ending = newEnding;
        classify(line, *keyLine == 0);
        return;
    }
    // After the section's last entry, so that blank lines and comments leading into the next
    // section stay with it.
    std::size_t at = *sectionLine + 1;
    const std::size_t end = sectionEnd(*sectionLine);
    for (std::size_t i = at; i < end; ++i)
        if (m_lines[i].kind != LineKind::Blank && m_lines[i].kind != LineKind::Comment)
            at = i + 1;
    insertLine(at, std::string(key) + "=" + std::string(value), newEnding);
}

std::string ProfileDocument::fileLineEnding() const
{
    for (const Line& line : m_lines)
        if (!line.ending.empty())
            return line.ending;
    return "\r\n";
}

void ProfileDocument::insertLine(std::size_t index, std::string text, const std::string& ending)
{
    if (index > 0 && m_lines[index - 1].ending.empty())
        m_lines[index - 1].ending = ending;
    Line line;
    line.text = std::move(text);
    line.ending = ending;
    classify(line, index == 0);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

} // namespace vortan
