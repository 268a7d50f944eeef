// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <csignal>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace vortan::test {

// Runs a call that must not wait on the named pipe `fifo`. Should it still run after `patience`
// (it waits in open() for the other end, which never comes), the guard opens the pipe at both
// ends, drains it for a while and closes it, so that the test fails instead of hanging.
// Returns whether the call ended by itself; an exception of the call passes through once the
// guard is done.
template <class Call>
bool endsWithoutWaitingOn(const std::filesystem::path& fifo, Call call,
                          std::chrono::milliseconds patience = std::chrono::seconds(5))
{
    std::atomic<bool> done{false};
    std::atomic<bool> rescued{false};
    std::thread guard([&] {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!done && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (done)
            return;
        rescued = true;
        // A writer cut off by the close must fail, not kill the test.
        std::signal(SIGPIPE, SIG_IGN);
        const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        char buffer[65536];
        const auto drainUntil = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (fd >= 0 && !done && std::chrono::steady_clock::now() < drainUntil) {
            if (::read(fd, buffer, sizeof buffer) <= 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (fd >= 0)
            ::close(fd);
    });
    std::exception_ptr failure;
    try {
        call();
    } catch (...) {
        failure = std::current_exception();
    }
    done = true;
    guard.join();
    if (failure)
        std::rethrow_exception(failure);
    return !rescued;
}

} // namespace vortan::test
