// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

namespace vortan {

// A file that one thread writes while others already read it: how many of its bytes exist,
// whether the writing ended (complete, or failed with the file removed), and a descriptor that
// reads it. The writer only ever adds bytes at the end, so what exists never changes; a reader
// that stays within bytes() reads nothing unwritten. Readers may also ask the writer to stop.
class GrowingFile {
public:
    GrowingFile() = default;
    ~GrowingFile(); // closes the read descriptor
    GrowingFile(const GrowingFile&) = delete;
    GrowingFile& operator=(const GrowingFile&) = delete;

    enum class State { Starting, Writing, Complete, Failed };

    // The writer's side.
    // The file exists, empty; takes `readDescriptor`, open for reading it.
    void begin(int readDescriptor);
    // `byteCount` more bytes are in the file.
    void advance(std::uint64_t byteCount);
    void complete();
    // The writing failed or was stopped and the file is gone; nothing after complete().
    void fail();
    bool stopRequested() const { return m_stopRequested.load(); }

    // The readers' side.
    State state() const { return m_state.load(); }
    bool ended() const { return state() == State::Complete || state() == State::Failed; }
    std::uint64_t bytes() const { return m_bytes.load(); }
    // -1 before begin(); positioned reads (pread) only, as other readers share it.
    int readDescriptor() const { return m_readDescriptor.load(); }
    // Waits until more than `byteCount` bytes exist, the writing has ended, or `quit` is true
    // (set it, then call wake()); returns the bytes that exist.
    std::uint64_t waitBeyond(std::uint64_t byteCount, const std::atomic<bool>& quit) const;
    // Ends the waits of readers so that they look at their `quit` flags.
    void wake() const;
    // The writer stops at its next block, then fails.
    void requestStop();

private:
    std::atomic<int> m_readDescriptor{-1};
    std::atomic<std::uint64_t> m_bytes{0};
    std::atomic<State> m_state{State::Starting};
    std::atomic<bool> m_stopRequested{false};
    mutable std::atomic<std::uint32_t> m_signal{0}; // bumped at every change
};

} // namespace vortan
