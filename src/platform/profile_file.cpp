#include "platform/profile_file.h"

#include "synthesis/errors.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vortan {

namespace {

namespace fs = std::filesystem;

// Closes a descriptor once, whichever way the scope is left.
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
    // Closes now and reports whether the data made it (NFS reports late write errors here).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

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

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A new file beside the target under a name no one can guess, created exclusively. Mode 0666
// lets the umask decide for a new settings file, as for any file a program creates.
std::pair<int, fs::path> createTemporaryBeside(const fs::path& target)
{
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::uint64_t number = (std::uint64_t{entropy()} << 32) ^ entropy();
        std::array<char, 17> suffix{};
        std::snprintf(suffix.data(), suffix.size(), "%016llx",
                      static_cast<unsigned long long>(number));
        fs::path name =
            folderOf(target) / ("." + target.filename().string() + "." + suffix.data() + ".tmp");
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return {fd, std::move(name)};
        if (errno != EEXIST)
            break;
    }
    return {-1, {}};
}

// Replaces target with bytes in one step; false when anything fails, the old file untouched.
bool replaceFile(const fs::path& target, std::string_view bytes)
{
    if (!ensureFolder(folderOf(target)))
        return false;
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        return false;

    auto [fd, temporary] = createTemporaryBeside(target);
    if (fd < 0)
        return false;
    FileDescriptor file(fd);
    bool ok = true;
    if (existed) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        // Keep the owner too where we may: a program run with sudo must not take the file over.
        [[maybe_unused]] const int ownerKept = ::fchown(fd, old.st_uid, old.st_gid);
    }
    ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = file.close() && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; the new file is in place whatever this says.
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace

ProfileFileBytes readProfileFile(const fs::path& file, std::size_t maxBytes)
{
    ProfileFileBytes result;
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) {
        result.state = (errno == ENOENT || errno == ENOTDIR) ? ProfileFileState::Missing
                                                             : ProfileFileState::Unreadable;
        return result;
    }
    // Opening a FIFO would wait for a writer, and a device may act on being opened.
    if (!S_ISREG(status.st_mode)) {
        result.state = ProfileFileState::NotRegular;
        return result;
    }
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        result.state = errno == ENOENT ? ProfileFileState::Missing : ProfileFileState::Unreadable;
        return result;
    }
    // It may have been swapped for something else since the check above.
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        result.state = ProfileFileState::NotRegular;
        return result;
    }
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.state = ProfileFileState::Unreadable;
            result.bytes.clear();
            return result;
        }
        if (got == 0)
            break;
        if (result.bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            result.state = ProfileFileState::TooLarge;
            result.bytes.clear();
            return result;
        }
        result.bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
    result.state = ProfileFileState::Read;
    return result;
}

void editProfileFile(const fs::path& file, const std::function<void(ProfileDocument&)>& edit)
{
    const fs::path target = finalTarget(file);
    const ProfileFileBytes current = readProfileFile(target);
    // A file we cannot read whole must not be replaced by one made without it.
    if (current.state != ProfileFileState::Read && current.state != ProfileFileState::Missing)
        failToWrite(file);
    ProfileDocument document(current.bytes);
    edit(document);
    if (!replaceFile(target, document.bytes()))
        failToWrite(file);
}

} // namespace vortan
