// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

namespace vortan {

// What the print service (CUPS) says of the default printer, asked before a job is drawn.
struct DefaultPrinterState {
    enum class Kind {
        Ready,        // it exists and takes jobs
        Paused,       // it takes jobs but does not print now: they wait in its queue
        Rejecting,    // it exists but refuses new jobs
        NoDefault,    // the service runs but names no default printer, or one it does not have
        ServiceDown,  // nothing answers where the print service should be
        NotAnswering, // the service took the question but gave no answer in time
    };
    Kind kind = Kind::ServiceDown;
    std::string printer; // the default printer's name, when there is one
    std::string server;  // where the print service was asked (a socket path or host name)
    std::string reason;  // the service's or the system's words for what is wrong; may be empty
};

// Asks the print service about the default printer: whether there is one, whether it accepts
// jobs, whether it is paused. The talking runs on a thread of its own with short timeouts, and
// the caller waits at most `patience` for it, so a frozen or distant service never holds the
// window longer than that (a question left unanswered ends on its own, later). The server is
// the one libcups names for the calling thread (CUPS_SERVER, client.conf, the local socket).
DefaultPrinterState askDefaultPrinterState(std::chrono::milliseconds patience);

} // namespace vortan
