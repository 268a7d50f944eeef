// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/replacing_file_writer.h"

#include "base/errors.h"
#include "files/file_descriptor.h"
#include "files/growing_file.h"
#include "files/process_folder.h"
#include "files/stop_request.h"
#include "files/symbolic_links.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vortan {

namespace {

int openRetrying(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// A temporary file is named ".vortan-<pid>-<12 random letters or digits>.tmp", so that the
// leftovers of a process killed in the middle are known by name and by their process.
constexpr std::string_view kTemporaryPrefix = ".vortan-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kRandomLength = 12;

std::string randomSuffix()
{
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device device;
    std::uniform_int_distribution<int> pick(0, 35);
    std::string suffix;
    for (std::size_t i = 0; i < kRandomLength; ++i)
        suffix.push_back(digits[pick(device)]);
    return suffix;
}

std::string temporaryName()
{
    return std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "-" + randomSuffix() +
           std::string(kTemporarySuffix);
}

// The process whose writer made a file of that name; 0 for a name a writer does not make.
pid_t temporaryFileOwner(std::string_view name)
{
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix))
        return 0;
    name.remove_prefix(kTemporaryPrefix.size());
    name.remove_suffix(kTemporarySuffix.size());
    const auto dash = name.find('-');
    const std::string_view random = dash == std::string_view::npos ? "" : name.substr(dash + 1);
    if (random.size() != kRandomLength || !std::all_of(random.begin(), random.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
        }))
        return 0;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + dash, pid);
    return error == std::errc() && end == name.data() + dash && pid > 0 ? pid : 0;
}

constexpr int kWriteFlags = O_WRONLY | O_CLOEXEC | O_NOCTTY;

} // namespace

ReplacingFileWriter::ReplacingFileWriter(const std::filesystem::path& target,
                                         const WriteRules& rules)
    : m_target(target)
    , m_stopOnRequest(rules.stopOnRequest)
{
    if (target.empty())
        throw IoError(kInvalidFilename);

    struct stat existing {};
    const int found =
        rules.followLinks ? ::stat(target.c_str(), &existing) : ::lstat(target.c_str(), &existing);
    if (found != 0 && errno != ENOENT)
        throw ioErrorForErrno(errno, target);
    if (found == 0 && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
        openDevice(target, existing.st_mode, rules);
    } else {
        if (rules.followLinks) {
            std::error_code error;
            m_target = finalLinkTarget(target, error);
            if (error)
                throw ioErrorForErrno(error.value(), target);
        }
        createTemporaryBeside(found == 0 && S_ISREG(existing.st_mode), existing);
        if (rules.growing)
            beginGrowing(*rules.growing);
    }
    m_buffer = std::make_unique<unsigned char[]>(bufferByteCount);
}

ReplacingFileWriter::ReplacingFileWriter(int openDescriptor)
    : m_fd(openDescriptor)
    , m_ownsDescriptor(false)
    , m_buffer(std::make_unique<unsigned char[]>(bufferByteCount))
{
}

void ReplacingFileWriter::beginGrowing(GrowingFile& growing)
{
    // Opened anew through the descriptor, so it reads this very file whatever its name becomes.
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    const int reader = openRetrying(self.c_str(), O_RDONLY | O_CLOEXEC);
    if (reader < 0)
        throw ioErrorForErrno(errno, m_target);
    m_growing = &growing;
    m_flushAt = firstGrowingBlock;
    growing.begin(reader);
}

void ReplacingFileWriter::openDevice(const std::filesystem::path& target, mode_t mode,
                                     const WriteRules& rules)
{
    const auto refuse = [&target](mode_t kind) {
        throw IoError(kFileAccessDenied, target.string(), notRegularReason(kind));
    };
    if (!rules.allowDevices || !(S_ISCHR(mode) || S_ISFIFO(mode)))
        refuse(mode);
    // Without O_NONBLOCK, opening a pipe would wait for a reader, maybe for ever.
    m_fd = openRetrying(target.c_str(), kWriteFlags | O_TRUNC | O_NONBLOCK);
    if (m_fd < 0 && errno == ENXIO)
        throw IoError(kFileAccessDenied, target.string(), "no program reads from this pipe");
    if (m_fd < 0)
        throw ioErrorForErrno(errno, target);
    struct stat opened {};
    if (::fstat(m_fd, &opened) != 0 || !(S_ISCHR(opened.st_mode) || S_ISFIFO(opened.st_mode)))
        refuse(opened.st_mode);
    // Once open, writes wait for the reader as any writer's do.
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
}

void ReplacingFileWriter::createTemporaryBeside(bool replacing, const struct stat& existing)
{
    if (replacing) {
        // A rename would replace even a file we may not write: ask the file itself first.
        const int probe = openRetrying(m_target.c_str(), kWriteFlags | O_NONBLOCK | O_NOFOLLOW);
        if (probe < 0)
            throw ioErrorForErrno(errno, m_target);
        ::close(probe);
    }
    const std::filesystem::path folder = m_target.parent_path();
    for (int attempt = 0; m_fd < 0; ++attempt) {
        m_temporary = folder / temporaryName();
        // 0666 lets the umask and default ACLs decide, as for any new file. O_EXCL never
        // follows a link: the file is made afresh.
        m_fd = openRetrying(m_temporary.c_str(), kWriteFlags | O_CREAT | O_EXCL, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt == 100)) {
            m_temporary.clear();
            throw ioErrorForErrno(errno, m_target);
        }
    }
    if (replacing) {
        // The new file takes the place of the old one and should look the same to its
        // owner; failing to keep the owner is harmless (only root may give files away).
        ::fchmod(m_fd, existing.st_mode & 07777);
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) [[maybe_unused]]
            int ignored = ::fchown(m_fd, existing.st_uid, existing.st_gid);
    }
}

ReplacingFileWriter::~ReplacingFileWriter()
{
    if (m_fd >= 0 && m_ownsDescriptor)
        ::close(m_fd);
    if (!m_committed && !m_temporary.empty())
        ::unlink(m_temporary.c_str());
    if (!m_committed && m_growing)
        m_growing->fail();
}

void ReplacingFileWriter::write(const void* data, std::size_t byteCount)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (byteCount > bufferByteCount - m_buffered || m_buffered >= m_flushAt)
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
    m_flushAt = std::min(2 * m_flushAt, bufferByteCount);
}

void ReplacingFileWriter::writeToFile(const unsigned char* data, std::size_t byteCount)
{
    // Once a block: a stop then comes within one block's write, a millisecond or so.
    if ((m_stopOnRequest && stopRequested()) || (m_growing && m_growing->stopRequested()))
        throw StopRequested();
    const std::size_t blockBytes = byteCount;
    while (byteCount > 0) {
        const ssize_t written = ::write(m_fd, data, byteCount);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw ioErrorForErrno(errno, m_target);
        }
        if (written == 0)
            throw ioErrorForErrno(ENOSPC, m_target);
        data += written;
        byteCount -= static_cast<std::size_t>(written);
    }
    if (m_growing)
        m_growing->advance(blockBytes);
}

void ReplacingFileWriter::closeFile()
{
    const int fd = m_fd;
    m_fd = -1;
    // Network and quota-limited file systems may report a failed write only here.
    if (::close(fd) != 0 && errno != EINTR)
        throw ioErrorForErrno(errno, m_target);
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
        throw ioErrorForErrno(errno, m_target);
    closeFile();
    if (!m_temporary.empty() && std::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        throw ioErrorForErrno(errno, m_target);
    m_committed = true;
    if (m_growing)
        m_growing->complete();
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

void ReplacingFileWriter::removeLeftovers(const std::filesystem::path& folder)
{
    const FileDescriptor opened(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int listFd = opened.valid() ? ::dup(opened.get()) : -1;
    DIR* listing = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (listing == nullptr) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(listing)) {
        const pid_t pid = temporaryFileOwner(entry->d_name);
        if (pid != 0 && !processRuns(pid))
            leftovers.emplace_back(entry->d_name);
    }
    ::closedir(listing);
    for (const std::string& name : leftovers) {
        struct stat status {};
        if (::fstatat(opened.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_uid == ::geteuid())
            ::unlinkat(opened.get(), name.c_str(), 0);
    }
}

} // namespace vortan
