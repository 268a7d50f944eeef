// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/xdg_paths.h"

#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <unistd.h>

namespace vortan::xdg {

namespace {

std::filesystem::path absoluteFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return {};
    return value;
}

std::filesystem::path fromEnvironmentOrHome(const char* name, const char* underHome)
{
    std::filesystem::path folder = absoluteFromEnvironment(name);
    return folder.empty() ? homeFolder() / underHome : folder;
}

// The absolute entries of a colon-separated list; the fallback when there are none.
std::vector<std::filesystem::path> folderList(const char* name, std::string_view fallback)
{
    const char* value = std::getenv(name);
    std::vector<std::filesystem::path> folders;
    std::string_view list = value ? std::string_view(value) : std::string_view();
    for (int pass = 0; pass < 2 && folders.empty(); ++pass, list = fallback) {
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            const std::string_view entry = list.substr(0, colon);
            if (entry.starts_with('/'))
                folders.emplace_back(entry);
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        }
    }
    return folders;
}

} // namespace

std::filesystem::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
        return user->pw_dir;
    return {};
}

std::filesystem::path configHome()
{
    return fromEnvironmentOrHome("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path cacheHome()
{
    return fromEnvironmentOrHome("XDG_CACHE_HOME", ".cache");
}

std::filesystem::path dataHome()
{
    return fromEnvironmentOrHome("XDG_DATA_HOME", ".local/share");
}

std::vector<std::filesystem::path> configDirs()
{
    return folderList("XDG_CONFIG_DIRS", "/etc/xdg");
}

std::vector<std::filesystem::path> dataDirs()
{
    return folderList("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
}

std::filesystem::path runtimeDir()
{
    return absoluteFromEnvironment("XDG_RUNTIME_DIR");
}

} // namespace vortan::xdg
