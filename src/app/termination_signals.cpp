// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/termination_signals.h"

#include "files/stop_request.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vortan {

namespace {

// The handler can reach nothing but this: write() is async-signal-safe, Qt is not.
volatile sig_atomic_t g_writeEnd = -1;

extern "C" void writeSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    // A rendering holds the thread that reads the pipe: it looks at this flag instead.
    requestStop();
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (g_writeEnd >= 0) [[maybe_unused]]
        const auto written = ::write(g_writeEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // Without a pipe the signals keep their default action: the program still ends.
    m_readEnd = ends[0];
    g_writeEnd = ends[1];

    m_notifier = new QSocketNotifier(m_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPendingSignals);

    struct sigaction action {};
    action.sa_handler = writeSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &m_previous[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (m_readEnd < 0)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    const int writeEnd = g_writeEnd;
    g_writeEnd = -1;
    ::close(writeEnd);
    ::close(m_readEnd);
}

void TerminationSignals::readPendingSignals()
{
    unsigned char byte = 0;
    while (::read(m_readEnd, &byte, 1) == 1)
        Q_EMIT terminationRequested(byte);
    // Acted on: the program ends, and whatever it writes on the way (the settings) goes whole.
    withdrawStopRequest();
}

} // namespace vortan
