#include "settings/profile_file.h"

#include "base/errors.h"
#include "files/replacing_file_writer.h"

#include <cerrno>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vortan {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void failToWrite(const fs::path& file)
{
    throw Error("Unable to write to " + file.string());
}

// The final target of a chain of symbolic links (the path itself when it is no link).
fs::path finalTarget(const fs::path& file)
{
    fs::path path = file;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        std::error_code error;
        const fs::path link = fs::read_symlink(path, error);
        if (error)
            failToWrite(file);
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    failToWrite(file); // a loop of links
}

fs::path folderOf(const fs::path& file)
{
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// Creates the folder and its missing parents, each private to the user.
bool ensureFolder(const fs::path& folder)
{
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0)
        return S_ISDIR(status.st_mode);
    if (errno != ENOENT)
        return false;
    if (folder.has_parent_path() && folder.parent_path() != folder &&
        !ensureFolder(folder.parent_path()))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// Replaces target with bytes in one step; false when anything fails, the old file untouched.
bool replaceFile(const fs::path& target, std::string_view bytes)
{
    if (!ensureFolder(folderOf(target)))
        return false;
    try {
        ReplacingFileWriter file(target);
        file.write(bytes.data(), bytes.size());
        // Settings are written once a session: worth waiting for the disk.
        file.commit(ReplacingFileWriter::Durability::SyncedToDisk);
        return true;
    } catch (const Error&) {
        return false;
    }
}

} // namespace

void editProfileFile(const fs::path& file, const std::function<void(ProfileDocument&)>& edit)
{
    const fs::path target = finalTarget(file);
    const RegularFileBytes current = readRegularFile(target, kMaxProfileFileBytes);
    // A file we cannot read whole must not be replaced by one made without it.
    if (current.state != RegularFileState::Read && current.state != RegularFileState::Missing)
        failToWrite(file);
    ProfileDocument document(current.bytes);
    edit(document);
    if (!replaceFile(target, document.bytes()))
        failToWrite(file);
}

} // namespace vortan
