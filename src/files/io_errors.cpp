// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/io_errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace vortan {

namespace {

int programNumberFor(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return kInvalidFilename;
    case EMFILE:
    case ENFILE:
        return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return kFileAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return kDiskFull;
    default:
        return 0;
    }
}

} // namespace

std::string systemReason(int errnoValue)
{
    char buffer[256];
    // The GNU strerror_r returns the text, which need not be in the buffer.
    return ::strerror_r(errnoValue, buffer, sizeof buffer);
}

std::string notRegularReason(mode_t mode)
{
    return S_ISDIR(mode) ? systemReason(EISDIR) : "not a regular file";
}

int writeObstacle(const std::filesystem::path& file)
{
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    struct statvfs disk {};
    if (::statvfs(folder.c_str(), &disk) == 0) {
        if ((disk.f_flag & ST_RDONLY) != 0)
            return EROFS;
        // Root may use the blocks kept back for it.
        const auto freeBlocks = ::geteuid() == 0 ? disk.f_bfree : disk.f_bavail;
        if (freeBlocks == 0 || (disk.f_files > 0 && disk.f_favail == 0))
            return ENOSPC;
    }
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return errno;
    struct stat status {};
    if (::stat(file.c_str(), &status) == 0 &&
        ::faccessat(AT_FDCWD, file.c_str(), R_OK | W_OK, AT_EACCESS) != 0)
        return errno;
    return 0;
}

IoError ioErrorForErrno(int errnoValue)
{
    const int number = programNumberFor(errnoValue);
    return number != 0 ? IoError(number)
                       : IoError(errnoValue, "I/O error " + std::to_string(errnoValue));
}

IoError ioErrorForErrno(int errnoValue, const std::filesystem::path& file)
{
    const int number = programNumberFor(errnoValue);
    const std::string reason = systemReason(errnoValue);
    if (number == 0)
        return IoError(errnoValue, "I/O error " + std::to_string(errnoValue), file.string(),
                       reason);
    const bool wholeDisk = number == kDiskFull && file.has_parent_path();
    return IoError(number, (wholeDisk ? file.parent_path() : file).string(), reason);
}

} // namespace vortan
