// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/regular_file.h"
#include "settings/profile_document.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

namespace vortan {

// A settings file larger than this is not one we wrote; it is neither read nor replaced.
inline constexpr std::size_t kMaxProfileFileBytes = 1024 * 1024;

// Reads the file's current content (an empty document when it is missing), lets edit change
// it, and replaces the file in one step: a new file beside it, written, flushed to disk and
// renamed over it, keeping the old file's permissions. So the file on disk is always either
// the old one or the complete new one, whatever fails and whenever the program dies.
// A symbolic link is followed and its final target replaced, so a linked dotfile stays linked.
// Missing folders are created with mode 0700. Throws vortan::Error("Unable to write to " +
// file + ": " + the system's reason) when the file cannot be used or written; exceptions of edit
// pass through. On any failure the old file is untouched and no temporary file is left behind.
void editProfileFile(const std::filesystem::path& file,
                     const std::function<void(ProfileDocument&)>& edit);

} // namespace vortan
