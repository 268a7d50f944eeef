// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/io_errors.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

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
