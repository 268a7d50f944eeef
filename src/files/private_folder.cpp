// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/private_folder.h"

#include "base/errors.h"
#include "files/file_descriptor.h"
#include "files/io_errors.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace vortan {

namespace {

// Deeper trees are not ours; the limit keeps the open descriptors few.
constexpr int kMaxDepth = 32;

bool removeEntryAt(int folderFd, const char* name, int depth);

// Removes the entries of the open folder for which `chosen` holds of their (unfollowed) status.
bool removeEntries(int folderFd, int depth, const std::function<bool(const struct stat&)>& chosen)
{
    // The listing needs a descriptor of its own: closedir closes it.
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (listing == nullptr) {
        if (listFd >= 0)
            ::close(listFd);
        return false;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(listing);
    bool removedAll = true;
    for (const std::string& name : names) {
        struct stat status {};
        if (::fstatat(folderFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (chosen(status))
            removedAll = removeEntryAt(folderFd, name.c_str(), depth) && removedAll;
    }
    return removedAll;
}

bool removeEntryAt(int folderFd, const char* name, int depth)
{
    struct stat status {};
    if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (S_ISDIR(status.st_mode)) {
        const FileDescriptor inner(
            ::openat(folderFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!inner.valid() || depth >= kMaxDepth ||
            !removeEntries(inner.get(), depth + 1, [](const struct stat&) { return true; }))
            return false;
        return ::unlinkat(folderFd, name, AT_REMOVEDIR) == 0 || errno == ENOENT;
    }
    return ::unlinkat(folderFd, name, 0) == 0 || errno == ENOENT;
}

} // namespace

void makeFolders(const std::filesystem::path& folder)
{
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0) {
        if (!S_ISDIR(status.st_mode))
            throw ioErrorForErrno(ENOTDIR, folder);
        return;
    }
    if (errno != ENOENT)
        throw ioErrorForErrno(errno, folder);
    if (folder.has_parent_path() && folder.parent_path() != folder)
        makeFolders(folder.parent_path());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw ioErrorForErrno(errno, folder);
}

void preparePrivateFolder(const std::filesystem::path& folder)
{
    const auto fail = [&folder](const std::string& why) {
        throw Error("Cannot use the folder " + folder.string() + ": " + why);
    };
    try {
        if (folder.has_parent_path())
            makeFolders(folder.parent_path());
    } catch (const IoError& error) {
        fail(error.reason());
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        fail(systemReason(errno));

    // Everything below works on what was opened, so nothing can be swapped in between.
    const FileDescriptor opened(
        ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!opened.valid())
        fail(errno == ELOOP || errno == ENOTDIR ? "not a folder" : systemReason(errno));
    struct stat status {};
    if (::fstat(opened.get(), &status) != 0)
        fail(systemReason(errno));
    const uid_t user = ::geteuid();
    if (status.st_uid != user)
        fail("owned by another user");
    if ((status.st_mode & 077) == 0)
        return;
    // Closed first, so that nothing more can be put in while we clear it.
    if (::fchmod(opened.get(), 0700) != 0)
        fail(systemReason(errno));
    const bool othersCouldWrite = (status.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    if (othersCouldWrite && !removeEntries(opened.get(), 0, [user](const struct stat& entry) {
            return entry.st_uid != user;
        }))
        fail("what others put into it cannot be removed");
}

bool removeTreeAt(int folderFd, const char* name)
{
    return removeEntryAt(folderFd, name, 0);
}

bool removeTree(const std::filesystem::path& entry)
{
    const std::filesystem::path parent = entry.has_parent_path() ? entry.parent_path() : ".";
    const FileDescriptor folder(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid())
        return errno == ENOENT;
    return removeTreeAt(folder.get(), entry.filename().c_str());
}

} // namespace vortan
