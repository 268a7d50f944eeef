// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/file_descriptor.h"

#include <filesystem>
#include <functional>
#include <string_view>
#include <sys/types.h>

namespace vortan {

// Whether a process of that number runs, whoever it belongs to.
bool processRuns(pid_t pid);

// A folder of this process's own inside a private folder (see preparePrivateFolder), for files
// that live as long as the process: named "<pid>-XXXXXX", locked (flock) while the object lives
// and removed with everything in it when it goes. Making one first removes the leftovers of
// processes that are gone without cleaning up (killed, crashed): every "<pid>-..." folder whose
// process no longer runs and whose lock nobody holds.
class ProcessFolder {
public:
    // Prepares the private folder, removes what is stale there (removeStale) and makes the
    // process's own folder. Throws vortan::Error when either folder cannot be made.
    explicit ProcessFolder(const std::filesystem::path& privateFolder,
                           const std::function<bool(std::string_view name)>& isStaleFile = {});
    ~ProcessFolder();

    ProcessFolder(const ProcessFolder&) = delete;
    ProcessFolder& operator=(const ProcessFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // Removes the folders of processes that are gone, and the files (not folders) directly in
    // `privateFolder` whose names isStaleFile accepts: files of ours that older versions kept
    // there. Best effort: what cannot be removed stays.
    static void removeStale(const std::filesystem::path& privateFolder,
                            const std::function<bool(std::string_view name)>& isStaleFile = {});

private:
    std::filesystem::path m_path;
    FileDescriptor m_lock; // the folder itself, held with flock
};

} // namespace vortan
