// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/growing_file.h"
#include "sound/lead_in_sound.h"
#include "sound/pcm_wav.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <thread>

namespace vortan {

// The samples of one Play on their way to the sound server: the lead-in, then the data of an
// open WAV file, read ahead on a thread of its own into a ring buffer. The server's thread takes
// from the ring and never waits for the disk; the reader waits for room, so memory stays at the
// ring's size whatever the file's length.
class SoundFeed {
public:
    // Takes the open file descriptor `fd` (a file, or a pipe whose next byte is the first sample)
    // and closes it when done. Reading starts at once.
    // `moreSamples` is called on the reader's thread when samples (or the end) arrive after a
    // take() came up short; it must return at once (for example by waking the server's loop).
    // With `growing`, the file is still being written: the reader waits for its bytes and never
    // reads past what exists; a writing that fails ends the samples there.
    SoundFeed(int fd, const PcmWavLayout& layout, const LeadInSound& leadIn,
              std::function<void()> moreSamples,
              std::shared_ptr<const GrowingFile> growing = nullptr);
    // Stops the reader after its current read and waits for it.
    ~SoundFeed();

    SoundFeed(const SoundFeed&) = delete;
    SoundFeed& operator=(const SoundFeed&) = delete;

    const PcmFormat& format() const { return m_layout.format; }

    // Copies whole frames of what has been read, at most out.size() bytes, into `out`; returns
    // the bytes copied. Never waits. One thread takes.
    std::size_t take(std::span<std::uint8_t> out);
    // True once every sample has been taken.
    bool atEnd() const;

    // The reader stops after its current read. Until it is done it may still call moreSamples
    // once; after the destructor, never.
    void cancel();
    // True once the reader's thread has returned (the destructor will not wait).
    bool readerDone() const { return m_readerDone.load(); }

    // Room for about 95 s of the program's sounds, or 6 s of CD-quality stereo.
    static constexpr std::size_t ringBytes = 1024 * 1024;
    static constexpr std::size_t readBytes = 128 * 1024;

private:
    void read();
    // Waits until at least `minimum` bytes are free; false when cancelled.
    bool waitForRoom(std::size_t minimum);
    // At most `count` bytes of the file from `offset`, as many as exist; 0 at its end.
    std::size_t existingBytes(std::uint64_t offset, std::size_t count);
    void publish(std::size_t bytes);

    int m_fd;
    PcmWavLayout m_layout;
    LeadInSound m_leadIn;
    std::function<void()> m_moreSamples;
    std::shared_ptr<const GrowingFile> m_growing;
    std::unique_ptr<std::uint8_t[]> m_ring;

    // Bytes ever published by the reader and ever taken; their difference is what the ring holds.
    std::atomic<std::uint64_t> m_written{0};
    std::atomic<std::uint64_t> m_taken{0};
    std::atomic<std::uint32_t> m_roomSignal{0}; // bumped when room is made or on cancel
    std::atomic<bool> m_takerWaiting{false};
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_allWritten{false};
    std::atomic<bool> m_readerDone{false};
    std::thread m_reader; // last: starts once everything above is ready
};

} // namespace vortan
