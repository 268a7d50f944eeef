// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace vortan {

// The volume of the sound output: low 16 bits the left channel, high 16 bits the right,
// each 0 (silent) to 65535 (full).
class OutputVolume {
public:
    using ChangeListener = std::function<void()>;

    virtual ~OutputVolume() = default;

    // The last known volume, kept in memory (never waits); nullopt while there is no output.
    virtual std::optional<std::uint32_t> volume() const = 0;
    // Sets both channels as given; ignored while there is no output.
    virtual void setVolume(std::uint32_t volume) = 0;

    // Calls listener whenever volume() changes, on the sound server's own thread: it must only
    // hand the news on to its own thread (for Qt: a queued invokeMethod) and return.
    // Returns an id for unsubscribe().
    virtual int subscribe(ChangeListener listener) = 0;
    // After this returns the listener is not running and will not be called again.
    virtual void unsubscribe(int id) = 0;
};

} // namespace vortan
