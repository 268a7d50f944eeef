// SPDX-License-Identifier: GPL-3.0-or-later
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
    std::string bytes;  // empty unless state is Read
    std::string reason; // why it was not read, in the system's words; empty when Read
};

// Reads a whole regular file of at most maxBytes, following symbolic links. Never blocks (a FIFO
// or a device is not opened) and never throws for file trouble; the state says what happened.
RegularFileBytes readRegularFile(const std::filesystem::path& file, std::size_t maxBytes);

// Reads at most maxBytes from a regular file, a pipe or a character device, as a command-line
// tool takes its input: a named pipe is opened without waiting for a writer (with none, it reads
// as empty), and an endless source such as /dev/zero ends as TooLarge once past the limit,
// without holding more than maxBytes. A folder, a socket or a block device is NotRegular.
RegularFileBytes readInputFile(const std::filesystem::path& file, std::size_t maxBytes);

// The same for a descriptor that is already open (standard input); it is not closed.
RegularFileBytes readInputDescriptor(int fd, std::size_t maxBytes);

} // namespace vortan
