// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

// Folders for files that are ours alone. The settings file, the replacing writer's targets and
// the temporary sound files all make their folders here, so that every folder the program makes
// is made one way.
namespace vortan {

// Creates the folder and any missing parent with mode 0700 (the umask may narrow it); an
// existing folder, or a link to one, is taken as it is. Throws vortan::IoError naming the path
// that could not be made and why.
void makeFolders(const std::filesystem::path& folder);

// Makes the folder ready for files that no one else may read, replace or plant: creates it
// (and missing parents) with mode 0700, then requires a real folder (not a symbolic link) owned
// by the user. A folder found open to others is closed to mode 0700 first and then emptied of
// everything others own, since anything may have been put there; what the user's own programs
// made stays. Throws vortan::Error("Cannot use the folder <folder>: <why>").
void preparePrivateFolder(const std::filesystem::path& folder);

// Removes a file, or a folder with everything in it, never following a symbolic link: a link is
// removed, not what it names. A missing entry is no failure. Returns false when anything stayed.
bool removeTree(const std::filesystem::path& entry);

// Removes the entry `name` of the open folder folderFd the same way.
bool removeTreeAt(int folderFd, const char* name);

} // namespace vortan
