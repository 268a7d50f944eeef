// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_feed.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vortan {

SoundFeed::SoundFeed(int fd, const PcmWavLayout& layout, const LeadInSound& leadIn,
                     std::function<void()> moreSamples, std::shared_ptr<const GrowingFile> growing)
    : m_fd(fd)
    , m_layout(layout)
    , m_leadIn(leadIn)
    , m_moreSamples(std::move(moreSamples))
    , m_growing(std::move(growing))
    , m_ring(std::make_unique<std::uint8_t[]>(ringBytes))
    , m_reader([this] { read(); })
{
}

SoundFeed::~SoundFeed()
{
    cancel();
    m_reader.join();
    ::close(m_fd);
}

void SoundFeed::cancel()
{
    m_cancelled.store(true);
    m_roomSignal.fetch_add(1);
    m_roomSignal.notify_all();
    if (m_growing)
        m_growing->wake();
}

bool SoundFeed::atEnd() const
{
    return m_allWritten.load() && m_written.load() == m_taken.load();
}

std::size_t SoundFeed::take(std::span<std::uint8_t> out)
{
    const auto frameBytes = static_cast<std::size_t>(m_layout.format.frameBytes());
    const std::size_t wanted = out.size() - out.size() % frameBytes;
    // Said before looking, so that a reader publishing meanwhile sees it (or we see its bytes).
    m_takerWaiting.store(true);
    const std::uint64_t taken = m_taken.load();
    std::size_t count = std::min(wanted, static_cast<std::size_t>(m_written.load() - taken));
    count -= count % frameBytes;
    const std::size_t from = static_cast<std::size_t>(taken % ringBytes);
    const std::size_t first = std::min(count, ringBytes - from);
    std::memcpy(out.data(), m_ring.get() + from, first);
    std::memcpy(out.data() + first, m_ring.get(), count - first);
    m_taken.store(taken + count);
    m_roomSignal.fetch_add(1);
    m_roomSignal.notify_one();
    if (count == wanted)
        m_takerWaiting.store(false);
    return count;
}

bool SoundFeed::waitForRoom(std::size_t minimum)
{
    for (;;) {
        const std::uint32_t signal = m_roomSignal.load();
        if (m_cancelled.load())
            return false;
        if (ringBytes - (m_written.load() - m_taken.load()) >= minimum)
            return true;
        m_roomSignal.wait(signal);
    }
}

void SoundFeed::publish(std::size_t bytes)
{
    m_written.fetch_add(bytes);
    if (m_takerWaiting.exchange(false))
        m_moreSamples();
}

std::size_t SoundFeed::existingBytes(std::uint64_t offset, std::size_t count)
{
    if (!m_growing)
        return count;
    const std::uint64_t existing = m_growing->waitBeyond(offset, m_cancelled);
    if (m_cancelled.load() || m_growing->state() == GrowingFile::State::Failed ||
        existing <= offset)
        return 0;
    return static_cast<std::size_t>(std::min<std::uint64_t>(count, existing - offset));
}

void SoundFeed::read()
{
    const auto frameBytes = static_cast<std::size_t>(m_layout.format.frameBytes());
    // The lead-in first: made here, never read from anywhere.
    while (m_leadIn.remainingBytes() > 0 && waitForRoom(frameBytes)) {
        const std::uint64_t used = m_written.load() - m_taken.load();
        const std::size_t at = static_cast<std::size_t>(m_written.load() % ringBytes);
        const std::size_t room =
            std::min(ringBytes - at, ringBytes - static_cast<std::size_t>(used));
        publish(m_leadIn.generate({m_ring.get() + at, room}));
    }

    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    // A pipe cannot seek: its next byte is taken as the first sample. A file is read at its
    // offsets, as a growing file's descriptor may be shared.
    std::uint64_t offset = m_layout.dataOffset;
    const bool seekable = ::lseek(m_fd, 0, SEEK_CUR) >= 0;
    std::uint64_t left = m_layout.dataBytes;
    std::size_t partial = 0; // bytes read past the last whole frame, not yet published
    while (left > 0 && waitForRoom(partial + frameBytes)) {
        const std::uint64_t used = m_written.load() - m_taken.load() + partial;
        const std::size_t at = static_cast<std::size_t>((m_written.load() + partial) % ringBytes);
        const std::size_t count = existingBytes(
            offset, std::min({ringBytes - at, ringBytes - static_cast<std::size_t>(used),
                              static_cast<std::size_t>(std::min<std::uint64_t>(left, readBytes))}));
        if (count == 0)
            break; // cancelled, or a writing that failed or ended short
        const ssize_t got =
            seekable ? ::pread(m_fd, m_ring.get() + at, count, static_cast<off_t>(offset))
                     : ::read(m_fd, m_ring.get() + at, count);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // a read error or a file cut short: the sound ends here
        offset += static_cast<std::uint64_t>(got);
        left -= static_cast<std::uint64_t>(got);
        partial += static_cast<std::size_t>(got);
        const std::size_t whole = partial - partial % frameBytes;
        partial -= whole;
        publish(whole);
    }

    m_allWritten.store(true);
    if (m_takerWaiting.exchange(false))
        m_moreSamples();
    m_readerDone.store(true);
}

} // namespace vortan
