// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/growing_file.h"

#include <unistd.h>

namespace vortan {

GrowingFile::~GrowingFile()
{
    if (const int fd = m_readDescriptor.load(); fd >= 0)
        ::close(fd);
}

void GrowingFile::begin(int readDescriptor)
{
    if (const int old = m_readDescriptor.exchange(readDescriptor); old >= 0)
        ::close(old);
    State starting = State::Starting;
    m_state.compare_exchange_strong(starting, State::Writing);
    wake();
}

void GrowingFile::advance(std::uint64_t byteCount)
{
    m_bytes.fetch_add(byteCount);
    wake();
}

void GrowingFile::complete()
{
    m_state.store(State::Complete);
    wake();
}

void GrowingFile::fail()
{
    State state = m_state.load();
    while (state != State::Complete && !m_state.compare_exchange_weak(state, State::Failed)) {
    }
    wake();
}

std::uint64_t GrowingFile::waitBeyond(std::uint64_t byteCount, const std::atomic<bool>& quit) const
{
    for (;;) {
        const std::uint32_t signal = m_signal.load();
        const std::uint64_t existing = m_bytes.load();
        const State state = m_state.load();
        if (existing > byteCount || state == State::Complete || state == State::Failed ||
            quit.load())
            return existing;
        m_signal.wait(signal);
    }
}

void GrowingFile::wake() const
{
    m_signal.fetch_add(1);
    m_signal.notify_all();
}

void GrowingFile::requestStop()
{
    m_stopRequested.store(true);
    wake();
}

} // namespace vortan
