// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/stop_request.h"

#include <atomic>

namespace vortan {

namespace {

std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free,
              "signal handlers may only touch lock-free atomics");

} // namespace

void requestStop() noexcept
{
    g_stopRequested.store(true, std::memory_order_relaxed);
}

void withdrawStopRequest() noexcept
{
    g_stopRequested.store(false, std::memory_order_relaxed);
}

bool stopRequested() noexcept
{
    return g_stopRequested.load(std::memory_order_relaxed);
}

StopRequested::StopRequested()
    : Error("Stopped: the program was asked to end")
{
}

} // namespace vortan
