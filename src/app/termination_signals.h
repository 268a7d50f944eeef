// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

namespace vortan {

// Turns SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, Ctrl+C) into a Qt signal on the
// user-interface thread, so that the program can save its settings before it ends. The signal
// handler only writes the signal number into a pipe and asks a running rendering to stop
// (stop_request.h), so that the event loop gets to the pipe at once; everything else runs from
// the event loop.
// One instance at a time; the previous handlers come back when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readPendingSignals();

    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};
    std::array<struct sigaction, 3> m_previous{};
    QSocketNotifier* m_notifier = nullptr;
    int m_readEnd = -1;
};

} // namespace vortan
