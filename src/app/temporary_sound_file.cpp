#include "app/temporary_sound_file.h"

#include "base/errors.h"
#include "files/xdg_paths.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vortan {

namespace {

constexpr const char* kFileName = "~ortan.wav";

} // namespace

std::filesystem::path temporarySoundFilePath()
{
    std::filesystem::path base = xdg::runtimeDir();
    if (base.empty() || !std::filesystem::is_directory(base))
        base = xdg::cacheHome();
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
