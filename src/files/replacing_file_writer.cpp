#include "files/replacing_file_writer.h"

#include "base/errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vortan {

namespace {

constexpr int invalidFilename = 3;
constexpr int tooManyOpenFiles = 4;
constexpr int fileAccessDenied = 5;
constexpr int diskFull = 101;

[[noreturn]] void throwForErrno(int errnoValue)
{
    throw ioErrorForErrno(errnoValue);
}

int openRetrying(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::filesystem::path followSymbolicLink(const std::filesystem::path& target)
{
    struct stat status {};
    if (::lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
        return target;
    // A dangling link is replaced like any missing file would be created.
    char* resolved = ::realpath(target.c_str(), nullptr);
    if (resolved == nullptr)
        return target;
    std::filesystem::path path(resolved);
    std::free(resolved);
    return path;
}

std::string randomSuffix()
{
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device device;
    std::uniform_int_distribution<int> pick(0, 35);
    std::string suffix;
    for (int i = 0; i < 12; ++i)
        suffix.push_back(digits[pick(device)]);
    return suffix;
}

} // namespace

IoError ioErrorForErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return IoError(invalidFilename);
    case EMFILE:
    case ENFILE:
        return IoError(tooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return IoError(fileAccessDenied);
    case ENOSPC:
    case EDQUOT:
        return IoError(diskFull);
    default:
        return IoError(errnoValue, "I/O error " + std::to_string(errnoValue));
    }
}

ReplacingFileWriter::ReplacingFileWriter(const std::filesystem::path& target)
    : m_target(followSymbolicLink(target))
{
    if (m_target.empty())
        throw IoError(invalidFilename);
    const int writeFlags = O_WRONLY | O_CLOEXEC | O_NOCTTY;

    struct stat existing {};
    const bool exists = ::stat(m_target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        throwForErrno(errno);
    if (exists && S_ISDIR(existing.st_mode))
        throw IoError(fileAccessDenied);

    if (exists && !S_ISREG(existing.st_mode)) {
        m_fd = openRetrying(m_target.c_str(), writeFlags | O_TRUNC);
        if (m_fd < 0)
            throwForErrno(errno);
    } else {
        if (exists) {
            // A rename would replace even a file we may not write: ask the file itself first.
            const int probe = openRetrying(m_target.c_str(), writeFlags | O_NONBLOCK);
            if (probe < 0)
                throwForErrno(errno);
            ::close(probe);
        }
        const std::filesystem::path folder = m_target.parent_path();
        for (int attempt = 0; m_fd < 0; ++attempt) {
            m_temporary = folder / (".vortan-" + randomSuffix() + ".tmp");
            // 0666 lets the umask and default ACLs decide, as for any new file.
            m_fd = openRetrying(m_temporary.c_str(), writeFlags | O_CREAT | O_EXCL, 0666);
            if (m_fd < 0 && (errno != EEXIST || attempt == 100)) {
                m_temporary.clear();
                throwForErrno(errno);
            }
        }
        if (exists) {
            // The new file takes the place of the old one and should look the same to its
            // owner; failing to keep the owner is harmless (only root may give files away).
            ::fchmod(m_fd, existing.st_mode & 07777);
            if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) [[maybe_unused]]
                int ignored = ::fchown(m_fd, existing.st_uid, existing.st_gid);
        }
    }
    m_buffer = std::make_unique<unsigned char[]>(bufferByteCount);
}

ReplacingFileWriter::ReplacingFileWriter(int openDescriptor)
    : m_fd(openDescriptor)
    , m_ownsDescriptor(false)
    , m_buffer(std::make_unique<unsigned char[]>(bufferByteCount))
{
}

ReplacingFileWriter::~ReplacingFileWriter()
{
    if (m_fd >= 0 && m_ownsDescriptor)
        ::close(m_fd);
    if (!m_committed && !m_temporary.empty())
        ::unlink(m_temporary.c_str());
}

void ReplacingFileWriter::write(const void* data, std::size_t byteCount)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (byteCount > bufferByteCount - m_buffered)
        flush();
    if (byteCount >= bufferByteCount) {
        writeToFile(bytes, byteCount);
        return;
    }
    std::memcpy(m_buffer.get() + m_buffered, bytes, byteCount);
    m_buffered += byteCount;
}

void ReplacingFileWriter::flush()
{
    writeToFile(m_buffer.get(), m_buffered);
    m_buffered = 0;
}

void ReplacingFileWriter::writeToFile(const unsigned char* data, std::size_t byteCount)
{
    while (byteCount > 0) {
        const ssize_t written = ::write(m_fd, data, byteCount);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throwForErrno(errno);
        }
        if (written == 0)
            throw IoError(diskFull);
        data += written;
        byteCount -= static_cast<std::size_t>(written);
    }
}

void ReplacingFileWriter::closeFile()
{
    const int fd = m_fd;
    m_fd = -1;
    // Network and quota-limited file systems may report a failed write only here.
    if (::close(fd) != 0 && errno != EINTR)
        throwForErrno(errno);
}

void ReplacingFileWriter::commit(Durability durability)
{
    flush();
    if (!m_ownsDescriptor) {
        m_committed = true;
        return;
    }
    // Renderings are cached: an fsync per Play would stall the window on slow disks for a file
    // that is made again at will. Files the user keeps (settings) ask for the disk.
    const bool synced = durability == Durability::SyncedToDisk;
    if (synced && ::fsync(m_fd) != 0)
        throwForErrno(errno);
    closeFile();
    if (!m_temporary.empty() && std::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        throwForErrno(errno);
    m_committed = true;
    if (synced && !m_temporary.empty()) {
        // Make the rename itself durable; the new file is in place whatever this says.
        const int folder =
            ::open(m_target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }
}

} // namespace vortan
