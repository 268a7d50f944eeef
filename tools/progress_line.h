// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace vortan {

// The one line of progress a long rendering shows on a terminal: nothing during its first
// second, then "vortan-render: writing NAME: 45% (912 of 2025 MiB)" rewritten in place when the
// percentage changes, and wiped by finish() so the terminal is left as it was.
class ProgressLine {
public:
    ProgressLine(std::ostream& terminal, std::string fileName);

    // Bytes written so far of the whole file's bytes, `elapsed` after the rendering started.
    void show(std::int64_t writtenBytes, std::int64_t fileBytes,
              std::chrono::steady_clock::duration elapsed);

    // Wipes the line, if one was shown.
    void finish();

    static constexpr std::chrono::seconds quietTime{1};

private:
    std::ostream& m_terminal;
    std::string m_fileName;
    int m_shownPercent = -1; // none shown yet
};

} // namespace vortan
