#pragma once

#include <filesystem>

// The per-user folders of the XDG base directory rules. A variable counts only when it holds an
// absolute path; otherwise the rules' defaults under the home folder apply.
namespace vortan::xdg {

// $HOME, else the user's entry in the password database; empty when neither is known.
std::filesystem::path homeFolder();

// $XDG_CONFIG_HOME, else ~/.config.
std::filesystem::path configHome();

// $XDG_DATA_HOME, else ~/.local/share.
std::filesystem::path dataHome();

// $XDG_CACHE_HOME, else ~/.cache.
std::filesystem::path cacheHome();

// $XDG_RUNTIME_DIR; empty when there is none (the rules give it no default).
std::filesystem::path runtimeDir();

} // namespace vortan::xdg
