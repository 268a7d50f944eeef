#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace vortan {

enum class RegularFileState {
    Read,       // bytes hold the whole file
    Missing,    // no such file (or a folder on its path is missing)
    NotRegular, // a folder, FIFO, device or socket: never opened for reading
    TooLarge,   // more than the byte limit
    Unreadable, // any other failure to open or read it
};

struct RegularFileBytes {
    RegularFileState state = RegularFileState::Missing;
    std::string bytes; // empty unless state is Read
};

// Reads a whole regular file of at most maxBytes, following symbolic links. Never blocks (a FIFO
// or a device is not opened) and never throws for file trouble; the state says what happened.
RegularFileBytes readRegularFile(const std::filesystem::path& file, std::size_t maxBytes);

} // namespace vortan
