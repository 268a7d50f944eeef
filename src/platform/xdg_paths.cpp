#include "platform/xdg_paths.h"

#include <cstdlib>
#include <pwd.h>
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

std::filesystem::path dataHome()
{
    return fromEnvironmentOrHome("XDG_DATA_HOME", ".local/share");
}

std::filesystem::path cacheHome()
{
    return fromEnvironmentOrHome("XDG_CACHE_HOME", ".cache");
}

std::filesystem::path runtimeDir()
{
    return absoluteFromEnvironment("XDG_RUNTIME_DIR");
}

} // namespace vortan::xdg
