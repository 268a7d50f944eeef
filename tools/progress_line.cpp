// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress_line.h"

#include "render_texts.h"

namespace vortan {

namespace {

// Carriage return, then erase to the end of the line.
constexpr std::string_view wipe = "\r\x1b[K";

constexpr std::int64_t mebibyte = 1024 * 1024;

} // namespace

ProgressLine::ProgressLine(std::ostream& terminal, std::string fileName)
    : m_terminal(terminal)
    , m_fileName(std::move(fileName))
{
}

void ProgressLine::show(std::int64_t writtenBytes, std::int64_t fileBytes,
                        std::chrono::steady_clock::duration elapsed)
{
    if (elapsed < quietTime || fileBytes <= 0)
        return;
    const auto percent = static_cast<int>(writtenBytes * 100 / fileBytes);
    if (percent == m_shownPercent)
        return;
    m_shownPercent = percent;
    m_terminal << wipe << "vortan-render: "
               << withArguments(renderText("vortan-render", "writing %1: %2% (%3 of %4 MiB)"),
                                {m_fileName, std::to_string(percent),
                                 std::to_string(writtenBytes / mebibyte),
                                 std::to_string(fileBytes / mebibyte)})
               << std::flush;
}

void ProgressLine::finish()
{
    if (m_shownPercent < 0)
        return;
    m_terminal << wipe << std::flush;
    m_shownPercent = -1;
}

} // namespace vortan
