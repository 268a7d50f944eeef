#pragma once

#include <filesystem>

namespace vortan {

// Where Play renders its sound: "~ortan.wav" in a folder only this user can write, so that no
// other user can plant or read the file. $XDG_RUNTIME_DIR/vortan/ when there is a runtime
// folder, otherwise $XDG_CACHE_HOME/vortan/ (by default ~/.cache/vortan/). Computes the path
// only; nothing is created.
std::filesystem::path temporarySoundFilePath();

// Creates the file's folder with mode 0700 when missing. Throws vortan::Error when the folder
// cannot be made, is not a directory, belongs to another user or lets others write into it.
void preparePrivateFolder(const std::filesystem::path& folder);

} // namespace vortan
