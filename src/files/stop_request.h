// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/errors.h"

namespace vortan {

// A request to stop long writes (renderings) at their next block, made when the program is told
// to end (SIGTERM, SIGINT, SIGHUP) while a rendering holds its only thread. Safe to make from a
// signal handler: a lock-free atomic flag. Writes that asked for it (WriteRules::stopOnRequest)
// then throw StopRequested; the settings file is still written afterwards.
void requestStop() noexcept;
// Once the program has acted on the request (it ends, or a test goes on).
void withdrawStopRequest() noexcept;
bool stopRequested() noexcept;

// A write ended by a stop request. The file written is removed and an old file of that name
// left whole; nothing is wrong, so the window reports nothing.
class StopRequested : public Error {
public:
    StopRequested();
};

} // namespace vortan
