#include "app/temporary_sound_file.h"

#include "synthesis/errors.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vortan {

namespace {

constexpr const char* kFileName = "~ortan.wav";

// An environment folder counts only when it is set to an absolute path, as the XDG rules say.
std::filesystem::path absoluteFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return {};
    return value;
}

} // namespace

std::filesystem::path temporarySoundFilePath()
{
    std::filesystem::path base = absoluteFromEnvironment("XDG_RUNTIME_DIR");
    if (base.empty() || !std::filesystem::is_directory(base)) {
        base = absoluteFromEnvironment("XDG_CACHE_HOME");
        if (base.empty()) {
            const std::filesystem::path home = absoluteFromEnvironment("HOME");
            base = (home.empty() ? std::filesystem::path("/") : home) / ".cache";
        }
    }
    return base / "vortan" / kFileName;
}

void preparePrivateFolder(const std::filesystem::path& folder)
{
    const auto fail = [&folder](const std::string& why) {
        throw Error("Cannot use the folder " + folder.string() + ": " + why);
    };
    std::error_code error;
    std::filesystem::create_directories(folder.parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        fail(std::strerror(errno));

    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0)
        fail(std::strerror(errno));
    if (!S_ISDIR(status.st_mode))
        fail("not a folder");
    if (status.st_uid != ::geteuid())
        fail("owned by another user");
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0 && ::chmod(folder.c_str(), 0700) != 0)
        fail(std::strerror(errno));
}

} // namespace vortan
