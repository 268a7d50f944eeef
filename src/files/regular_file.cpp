#include "files/regular_file.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vortan {

namespace {

// Closes a descriptor whichever way the scope is left.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

RegularFileBytes readRegularFile(const std::filesystem::path& file, std::size_t maxBytes)
{
    RegularFileBytes result;
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) {
        result.state = (errno == ENOENT || errno == ENOTDIR) ? RegularFileState::Missing
                                                             : RegularFileState::Unreadable;
        return result;
    }
    // Opening a FIFO would wait for a writer, and a device may act on being opened.
    if (!S_ISREG(status.st_mode)) {
        result.state = RegularFileState::NotRegular;
        return result;
    }
    if (static_cast<std::uintmax_t>(status.st_size) > maxBytes) {
        result.state = RegularFileState::TooLarge;
        return result;
    }
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        result.state = errno == ENOENT ? RegularFileState::Missing : RegularFileState::Unreadable;
        return result;
    }
    // It may have been swapped for something else since the check above.
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        result.state = RegularFileState::NotRegular;
        return result;
    }
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.state = RegularFileState::Unreadable;
            result.bytes.clear();
            return result;
        }
        if (got == 0)
            break;
        // The file may have grown since it was measured.
        if (result.bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            result.state = RegularFileState::TooLarge;
            result.bytes.clear();
            return result;
        }
        result.bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
    result.state = RegularFileState::Read;
    return result;
}

} // namespace vortan
