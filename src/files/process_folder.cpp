// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/process_folder.h"

#include "base/errors.h"
#include "files/io_errors.h"
#include "files/private_folder.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <vector>

namespace vortan {

namespace {

// The process a folder name "<pid>-..." belongs to; 0 for any other name.
pid_t ownerOf(std::string_view name)
{
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error != std::errc() || end == name.data() || pid <= 0 ||
        (end != name.data() + name.size() && *end != '-'))
        return 0;
    return pid;
}

// Opens a folder of ours and takes its lock without waiting; an invalid descriptor when the
// folder is gone, is not ours, or someone holds the lock.
FileDescriptor lockFolder(int parentFd, const char* name)
{
    FileDescriptor folder(
        ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!folder.valid() || ::fstat(folder.get(), &status) != 0 || status.st_uid != ::geteuid() ||
        ::flock(folder.get(), LOCK_EX | LOCK_NB) != 0)
        return {};
    return folder;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

bool processRuns(pid_t pid)
{
    // EPERM: it runs, as someone else.
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

void ProcessFolder::removeStale(const std::filesystem::path& privateFolder,
                                const std::function<bool(std::string_view name)>& isStaleFile)
{
    const FileDescriptor parent(
        ::open(privateFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!parent.valid())
        return;
    std::vector<std::string> names;
    const int listFd = ::openat(parent.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DIR* listing = listFd >= 0 ? ::fdopendir(listFd) : nullptr) {
        while (const dirent* entry = ::readdir(listing))
            names.emplace_back(entry->d_name);
        ::closedir(listing);
    } else if (listFd >= 0) {
        ::close(listFd);
    }
    for (const std::string& name : names) {
        struct stat status {};
        if (isStaleFile && isStaleFile(name) &&
            ::fstatat(parent.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            !S_ISDIR(status.st_mode)) {
            ::unlinkat(parent.get(), name.c_str(), 0);
            continue;
        }
        const pid_t owner = ownerOf(name);
        if (owner == 0 || processRuns(owner))
            continue;
        // Holding the lock while removing keeps two starting programs from racing for it.
        if (const FileDescriptor locked = lockFolder(parent.get(), name.c_str()); locked.valid())
            removeTreeAt(parent.get(), name.c_str());
    }
}

ProcessFolder::ProcessFolder(const std::filesystem::path& privateFolder,
                             const std::function<bool(std::string_view name)>& isStaleFile)
{
    preparePrivateFolder(privateFolder);
    removeStale(privateFolder, isStaleFile);
    const std::string prefix = (privateFolder / std::to_string(::getpid())).string() + "-";
    for (int attempt = 0;; ++attempt) {
        std::string name = prefix + "XXXXXX";
        if (::mkdtemp(name.data()) == nullptr)
            throw Error("Cannot use the folder " + privateFolder.string() + ": " +
                        systemReason(errno));
        // Another program's clean-up may take a folder before it is locked (its process is
        // ours and runs, so it should not, but a process of another machine sharing the folder
        // might); then it is no longer the one at its name, and we start again.
        FileDescriptor folder(
            ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat opened {};
        struct stat named {};
        if (folder.valid() && ::flock(folder.get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstat(folder.get(), &opened) == 0 && ::stat(name.c_str(), &named) == 0 &&
            sameFile(opened, named)) {
            m_path = name;
            m_lock = std::move(folder);
            return;
        }
        if (attempt == 10)
            throw Error("Cannot use the folder " + name + ": " + systemReason(EBUSY));
    }
}

ProcessFolder::~ProcessFolder()
{
    removeTree(m_path);
}

} // namespace vortan
