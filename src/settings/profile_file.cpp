// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profile_file.h"

#include "base/errors.h"
#include "files/io_errors.h"
#include "files/private_folder.h"
#include "files/replacing_file_writer.h"
#include "files/symbolic_links.h"

#include <string>

namespace vortan {

namespace {

namespace fs = std::filesystem;

// Replaces target with bytes in one step; the old file untouched on failure.
void replaceFile(const fs::path& file, const fs::path& target, std::string_view bytes)
{
    try {
        if (target.has_parent_path())
            makeFolders(target.parent_path());
        ReplacingFileWriter writer(target);
        writer.write(bytes.data(), bytes.size());
        // Settings are written once a session: worth waiting for the disk.
        writer.commit(ReplacingFileWriter::Durability::SyncedToDisk);
    } catch (const IoError& error) {
        throw unableToWrite(file.string(), error.reason().empty() ? error.what() : error.reason());
    }
}

} // namespace

void editProfileFile(const fs::path& file, const std::function<void(ProfileDocument&)>& edit)
{
    std::error_code linkError;
    const fs::path target = finalLinkTarget(file, linkError);
    if (linkError)
        throw unableToWrite(file.string(), systemReason(linkError.value()));
    const RegularFileBytes current = readRegularFile(target, kMaxProfileFileBytes);
    // A file we cannot read whole must not be replaced by one made without it.
    if (current.state != RegularFileState::Read && current.state != RegularFileState::Missing)
        throw unableToWrite(file.string(), current.reason);
    ProfileDocument document(current.bytes);
    edit(document);
    replaceFile(file, target, document.bytes());
}

} // namespace vortan
