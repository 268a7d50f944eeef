// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/errors.h"
#include "files/io_errors.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace vortan {

class GrowingFile;

// What a writer may find at its target and what it does there.
struct WriteRules {
    // A symbolic link at the target: followed, so that the file it finally names is replaced
    // and a linked file stays linked; or, when false, replaced itself by the new file, so that
    // no link is ever followed (files in our own folders).
    bool followLinks = true;
    // Character devices (/dev/null) and named pipes are written directly; a pipe only when some
    // program reads from it, since opening it never waits. Without this, only a regular file
    // (or nothing) may be at the target; anything else is refused with "File access denied".
    bool allowDevices = false;
    // A stop request (stop_request.h) ends the writing at its next block with StopRequested.
    bool stopOnRequest = false;
    // Told of every block that reaches the temporary file, so that readers can follow the
    // writing; its stop request ends the writing like a program's. Not for devices and pipes.
    GrowingFile* growing = nullptr;
};

// Writes a file so that it is either complete or not there: the bytes go to a temporary file
// beside the target, which replaces the target only when commit() is reached. Until then an old
// file of that name stays untouched, and a failure removes the temporary file.
//
// Writes are block copies into one buffer of ours that reaches the file in large writes, so
// many small segments cost little more than one big write.
//
// Devices and pipes cannot be replaced by a rename; where the rules allow them they are written
// directly. Opening never waits: not for a pipe's reader, not for a device.
//
// Every failure throws vortan::IoError with the program's error numbers, followed by the path
// and the system's reason.
class ReplacingFileWriter {
public:
    // Checks that the target may be written and creates the temporary file.
    explicit ReplacingFileWriter(const std::filesystem::path& target, const WriteRules& rules = {});
    // Writes straight into a descriptor that is already open and stays the caller's (standard
    // output, say): nothing is created, renamed or closed; commit() writes out the buffer.
    explicit ReplacingFileWriter(int openDescriptor);
    ~ReplacingFileWriter();

    ReplacingFileWriter(const ReplacingFileWriter&) = delete;
    ReplacingFileWriter& operator=(const ReplacingFileWriter&) = delete;

    void write(const void* data, std::size_t byteCount);

    enum class Durability {
        Cached,       // the rename alone: old or new file, short of a system crash
        SyncedToDisk, // flushed to the disk, and the rename too, before commit returns
    };

    // Writes out what is buffered, closes the file and puts it in place of the target.
    void commit(Durability durability = Durability::Cached);

    static constexpr std::size_t bufferByteCount = 1024 * 1024;
    // With a growing file, the first block that reaches the file: readers start early, and
    // every block after it is twice as big, up to the buffer.
    static constexpr std::size_t firstGrowingBlock = 8 * 1024;

    // Removes from the folder the temporary files that writers of processes no longer running
    // left behind (a killed renderer's gigabytes): regular files of this user named as a
    // writer names them, with the number of a process that is gone. Nothing else is touched;
    // best effort, so what cannot be removed stays.
    static void removeLeftovers(const std::filesystem::path& folder);

private:
    void openDevice(const std::filesystem::path& target, mode_t mode, const WriteRules& rules);
    void createTemporaryBeside(bool replacing, const struct stat& existing);
    void flush();
    void writeToFile(const unsigned char* data, std::size_t byteCount);
    void closeFile();
    void beginGrowing(GrowingFile& growing);

    std::filesystem::path m_target;
    std::filesystem::path m_temporary; // empty when writing the target directly
    int m_fd = -1;
    bool m_ownsDescriptor = true;
    bool m_committed = false;
    bool m_stopOnRequest = false;
    GrowingFile* m_growing = nullptr;
    std::size_t m_flushAt = bufferByteCount; // buffered bytes that go to the file at once
    std::unique_ptr<unsigned char[]> m_buffer;
    std::size_t m_buffered = 0;
};

} // namespace vortan
