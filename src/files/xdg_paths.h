// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <vector>

// The per-user folders of the XDG base directory rules. A variable counts only when it holds an
// absolute path; otherwise the rules' defaults under the home folder apply.
namespace vortan::xdg {

// $HOME, else the user's entry in the password database; empty when neither is known.
std::filesystem::path homeFolder();

// $XDG_CONFIG_HOME, else ~/.config.
std::filesystem::path configHome();

// $XDG_CACHE_HOME, else ~/.cache.
std::filesystem::path cacheHome();

// $XDG_DATA_HOME, else ~/.local/share.
std::filesystem::path dataHome();

// The absolute entries of $XDG_CONFIG_DIRS, else /etc/xdg.
std::vector<std::filesystem::path> configDirs();

// The absolute entries of $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
std::vector<std::filesystem::path> dataDirs();

// $XDG_RUNTIME_DIR; empty when there is none (the rules give it no default).
std::filesystem::path runtimeDir();

} // namespace vortan::xdg
