// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/symbolic_links.h"

#include <cerrno>
#include <sys/stat.h>

namespace vortan {

std::filesystem::path finalLinkTarget(const std::filesystem::path& file, std::error_code& error)
{
    error.clear();
    std::filesystem::path path = file;
    // The system's own limit on links followed in one lookup.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        const std::filesystem::path link = std::filesystem::read_symlink(path, error);
        if (error)
            return {};
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    error = std::error_code(ELOOP, std::generic_category());
    return {};
}

} // namespace vortan
