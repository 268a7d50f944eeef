#include "platform/profile_document.h"

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

// The name of a section header line "[name]" (anything after "]" is ignored), or nothing.
std::optional<std::string_view> sectionNameOf(std::string_view line)
{
    const std::string_view text = trimmed(line);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    const auto close = text.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimmed(text.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view rawValue;
};

std::optional<KeyLine> keyLineOf(std::string_view line)
{
    if (sectionNameOf(line))
        return std::nullopt;
    const std::string_view text = trimmed(line);
    const auto equals = text.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trimmed(text.substr(0, equals)), trimmed(text.substr(equals + 1))};
}

bool isComment(std::string_view line)
{
    const std::string_view text = trimmed(line);
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

ProfileDocument::ProfileDocument(std::string_view bytes)
{
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto newline = bytes.find('\n', start);
        if (newline == std::string_view::npos) {
            m_lines.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        std::size_t textEnd = newline;
        std::string ending = "\n";
        if (textEnd > start && bytes[textEnd - 1] == '\r') {
            --textEnd;
            ending = "\r\n";
        }
        m_lines.push_back({std::string(bytes.substr(start, textEnd - start)), std::move(ending)});
        start = newline + 1;
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
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        std::string_view text = m_lines[i].text;
        // An editor may have put a byte-order mark first: kept, but not part of the name.
        if (i == 0 && text.starts_with(kUtf8ByteOrderMark))
            text.remove_prefix(kUtf8ByteOrderMark.size());
        const auto name = sectionNameOf(text);
        if (name && sameName(*name, section))
            return i;
    }
    return std::nullopt;
}

std::size_t ProfileDocument::sectionEnd(std::size_t sectionLine) const
{
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i)
        if (sectionNameOf(m_lines[i].text))
            return i;
    return m_lines.size();
}

std::optional<std::size_t> ProfileDocument::findKey(std::size_t sectionLine,
                                                    std::string_view key) const
{
    const std::size_t end = sectionEnd(sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i) {
        const auto line = keyLineOf(m_lines[i].text);
        if (line && sameName(line->key, key))
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
    std::string_view value = keyLineOf(m_lines[*keyLine].text)->rawValue;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    // The profile functions hand out C strings: a NUL byte ends the value.
    value = value.substr(0, value.find('\0'));
    return std::string(value.substr(0, kMaxValueLength));
}

void ProfileDocument::setValue(std::string_view section, std::string_view key,
                               std::string_view value)
{
    if (isBlankPadded(section) || holdsLineBreakOrNul(section) ||
        section.find(']') != std::string_view::npos)
        throw std::invalid_argument("unusable profile section name");
    if (isBlankPadded(key) || holdsLineBreakOrNul(key) || key.find('=') != std::string_view::npos ||
        key.front() == '[')
        throw std::invalid_argument("unusable profile key name");
    if (holdsLineBreakOrNul(value))
        throw std::invalid_argument("a profile value cannot hold a line break or a NUL byte");

    const auto sectionLine = findSection(section);
    if (!sectionLine) {
        std::size_t end = m_lines.size();
        // A blank line before a new section, unless the file is empty or already ends in one.
        if (end > 0 && !trimmed(m_lines.back().text).empty())
            insertLine(end++, "");
        insertLine(end++, "[" + std::string(section) + "]");
        insertLine(end, std::string(key) + "=" + std::string(value));
        return;
    }
    if (const auto keyLine = findKey(*sectionLine, key)) {
        Line& line = m_lines[*keyLine];
        // Keep the file's own spelling of the key.
        line.text = std::string(keyLineOf(line.text)->key) + "=" + std::string(value);
        line.ending = "\r\n";
        return;
    }
    // After the section's last entry, so that blank lines and comments leading into the next
    // section stay with it.
    std::size_t at = *sectionLine + 1;
    const std::size_t end = sectionEnd(*sectionLine);
    for (std::size_t i = at; i < end; ++i)
        if (!trimmed(m_lines[i].text).empty() && !isComment(m_lines[i].text))
            at = i + 1;
    insertLine(at, std::string(key) + "=" + std::string(value));
}

void ProfileDocument::insertLine(std::size_t index, std::string text)
{
    if (index > 0 && m_lines[index - 1].ending.empty())
        m_lines[index - 1].ending = "\r\n";
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index),
                   Line{std::move(text), "\r\n"});
}

} // namespace vortan
