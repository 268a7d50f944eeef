// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/private_folder.h"
#include "files/process_folder.h"
#include "files/replacing_file_writer.h"

#include <filesystem>
#include <optional>

namespace vortan {

// The private folder of the temporary sound files, only this user's: $XDG_RUNTIME_DIR/vortan/
// when there is a runtime folder, otherwise $XDG_CACHE_HOME/vortan/ (by default
// ~/.cache/vortan/). Computes the path only; nothing is created.
std::filesystem::path temporarySoundFolder();

// How Play writes the file: made afresh and renamed into place, a link at its name replaced and
// never followed, and nothing but a regular file accepted there.
inline constexpr WriteRules kTemporarySoundFileRules{.followLinks = false};

// Where Play renders its sound: "~ortan.wav" in a folder of this program's own inside the
// private folder, so that two programs running side by side never play each other's rendering.
// Made at start, where what programs that are gone left behind is removed; removed with its
// folder when the object goes (the end of the program).
class TemporarySoundFile {
public:
    // Never throws: when the folder cannot be made now, the path still names one of ours, which
    // Play then makes (preparePrivateFolder) and whose failure it reports.
    explicit TemporarySoundFile(
        const std::filesystem::path& privateFolder = temporarySoundFolder());
    ~TemporarySoundFile();

    TemporarySoundFile(const TemporarySoundFile&) = delete;
    TemporarySoundFile& operator=(const TemporarySoundFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::optional<ProcessFolder> m_folder;
    std::filesystem::path m_path;
};

} // namespace vortan
