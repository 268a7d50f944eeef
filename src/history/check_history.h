#pragma once

#include "scoring/copy_check.h"

#include <cstdint>

namespace vortan {

// Where checks are kept. The windows receive this interface; main() owns the store behind it.
// Every function throws vortan::Error with a message that names the file and the reason.
class CheckHistory {
public:
    virtual ~CheckHistory() = default;

    // Keeps one check, all of it or nothing.
    virtual void addCheck(const CopyCheck& check) = 0;

    // How many checks are kept.
    virtual std::int64_t checkCount() = 0;
};

} // namespace vortan
