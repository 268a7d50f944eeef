// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/temporary_sound_file.h"

#include "base/errors.h"
#include "files/xdg_paths.h"

#include <string>
#include <string_view>
#include <unistd.h>

namespace vortan {

namespace {

constexpr const char* kFileName = "~ortan.wav";

// What earlier versions kept directly in the private folder: the one shared rendering and the
// writer's hidden temporary files, left behind when a rendering was killed.
bool isOldSharedFile(std::string_view name)
{
    return name == kFileName || (name.starts_with(".vortan-") && name.ends_with(".tmp"));
}

} // namespace

std::filesystem::path temporarySoundFolder()
{
    std::filesystem::path base = xdg::runtimeDir();
    if (base.empty() || !std::filesystem::is_directory(base))
        base = xdg::cacheHome();
    return base / "vortan";
}

TemporarySoundFile::TemporarySoundFile(const std::filesystem::path& privateFolder)
{
    try {
        m_folder.emplace(privateFolder, isOldSharedFile);
        m_path = m_folder->path() / kFileName;
    } catch (const Error&) {
        // Named after the process like a made folder, so no other program takes it for stale.
        m_path = privateFolder / std::to_string(::getpid()) / kFileName;
    }
}

TemporarySoundFile::~TemporarySoundFile()
{
    if (!m_folder)
        removeTree(m_path.parent_path());
}

} // namespace vortan
