// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/errors.h"

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace vortan {

// The program's error numbers for files (see vortan::IoError).
inline constexpr int kFileNotFound = 2;
inline constexpr int kInvalidFilename = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kFileAccessDenied = 5;
inline constexpr int kDiskFull = 101;

// The system's words for an errno value, such as "No space left on device".
std::string systemReason(int errnoValue);

// Why something that is there cannot be used as a file: "Is a directory" for a folder, "not a
// regular file" for a named pipe, a device or a socket.
std::string notRegularReason(mode_t mode);

// Why a file could not be written or made, found by looking, for libraries that report no errno
// (SQLite): EROFS for a read-only file system, ENOSPC for a full one, or the error of asking for
// write access to the file's folder or to the file itself. 0 when nothing in the way is found.
int writeObstacle(const std::filesystem::path& file);

// The error for a Linux errno met while creating or writing a file: the program's numbers where
// the table has one, else "I/O error <errno>".
IoError ioErrorForErrno(int errnoValue);

// The same, followed by the file and the system's reason ("File access denied: /x/out.wav:
// Permission denied"). A full disk names the file's folder, where the space is missing.
IoError ioErrorForErrno(int errnoValue, const std::filesystem::path& file);

} // namespace vortan
