#pragma once

#include "base/errors.h"

#include <cstddef>
#include <filesystem>
#include <memory>

namespace vortan {

// Writes a file so that it is either complete or not there: the bytes go to a temporary file
// beside the target, which replaces the target only when commit() is reached. Until then an old
// file of that name stays untouched, and a failure removes the temporary file.
//
// Writes are block copies into one buffer of ours that reaches the file in large writes, so
// many small segments cost little more than one big write.
//
// Devices and pipes (for example /dev/null) cannot be replaced by a rename; they are written
// directly. A symbolic link is followed and the file it names is replaced.
//
// Every failure throws vortan::IoError with the program's error numbers.
class ReplacingFileWriter {
public:
    // Checks that the target may be written and creates the temporary file.
    explicit ReplacingFileWriter(const std::filesystem::path& target);
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

private:
    void flush();
    void writeToFile(const unsigned char* data, std::size_t byteCount);
    void closeFile();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary; // empty when writing the target directly
    int m_fd = -1;
    bool m_ownsDescriptor = true;
    bool m_committed = false;
    std::unique_ptr<unsigned char[]> m_buffer;
    std::size_t m_buffered = 0;
};

// The error for a Linux errno met while creating or writing a file: the program's numbers
// where the table has one, else "I/O error <errno>".
IoError ioErrorForErrno(int errnoValue);

} // namespace vortan
