// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/regular_file.h"

#include "files/file_descriptor.h"
#include "files/io_errors.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vortan {

namespace {

RegularFileBytes failed(RegularFileState state, std::string reason)
{
    RegularFileBytes result;
    result.state = state;
    result.reason = std::move(reason);
    return result;
}

RegularFileBytes failedForErrno(int errnoValue)
{
    const bool missing = errnoValue == ENOENT || errnoValue == ENOTDIR;
    return failed(missing ? RegularFileState::Missing : RegularFileState::Unreadable,
                  systemReason(errnoValue));
}

RegularFileBytes tooLarge(std::size_t maxBytes)
{
    return failed(RegularFileState::TooLarge, "longer than " + std::to_string(maxBytes) + " bytes");
}

// Reads to the end, giving up as soon as more than maxBytes came.
RegularFileBytes readToEnd(int fd, std::size_t maxBytes)
{
    RegularFileBytes result;
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failedForErrno(errno);
        if (got == 0)
            break;
        // The file may have grown since it was measured, and a stream has no size at all.
        if (result.bytes.size() + static_cast<std::size_t>(got) > maxBytes)
            return tooLarge(maxBytes);
        result.bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
    result.state = RegularFileState::Read;
    return result;
}

bool isRegular(mode_t mode)
{
    return S_ISREG(mode);
}

bool isInputKind(mode_t mode)
{
    return S_ISREG(mode) || S_ISFIFO(mode) || S_ISCHR(mode);
}

// Opens the file if `accepted` takes its kind, checks the kind again on what was opened (it may
// have been swapped meanwhile), and reads it. Opening never waits: without O_NONBLOCK, opening
// a named pipe waits until some program opens it for writing.
RegularFileBytes openAndRead(const std::filesystem::path& file, std::size_t maxBytes,
                             bool (*accepted)(mode_t))
{
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0)
        return failedForErrno(errno);
    if (!accepted(status.st_mode))
        return failed(RegularFileState::NotRegular, notRegularReason(status.st_mode));
    if (S_ISREG(status.st_mode) && static_cast<std::uintmax_t>(status.st_size) > maxBytes)
        return tooLarge(maxBytes);
    const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid())
        return failedForErrno(errno);
    if (::fstat(fd.get(), &status) != 0 || !accepted(status.st_mode))
        return failed(RegularFileState::NotRegular, notRegularReason(status.st_mode));
    return readInputDescriptor(fd.get(), maxBytes);
}

} // namespace

RegularFileBytes readRegularFile(const std::filesystem::path& file, std::size_t maxBytes)
{
    // A FIFO would have to wait for a writer, and a device may act on being opened.
    return openAndRead(file, maxBytes, isRegular);
}

RegularFileBytes readInputFile(const std::filesystem::path& file, std::size_t maxBytes)
{
    return openAndRead(file, maxBytes, isInputKind);
}

RegularFileBytes readInputDescriptor(int fd, std::size_t maxBytes)
{
    // A pipe's writer may be slow: reading waits for it, as a filter does.
    if (const int flags = ::fcntl(fd, F_GETFL); flags >= 0 && (flags & O_NONBLOCK) != 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return readToEnd(fd, maxBytes);
}

} // namespace vortan
