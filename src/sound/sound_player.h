// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vortan {

class GrowingFile;

// Quiet sound played before a sound, so that an output that sleeps on silence (wireless
// headphones) is awake when the first element comes. It belongs to playback only and is never
// written into a file.
struct PlaybackLeadIn {
    int milliseconds = 0; // 0 (off) to 3000
    // The noise floor of the current settings: width of the uniform noise in 8-bit sample steps,
    // as the noise setting gives it (0 to 255). Below 2 steps noise is silence, and a quiet noise
    // (LeadInSound::quietNoise) plays instead.
    int noise = 0;

    bool operator==(const PlaybackLeadIn&) const = default;
};

// Background playback of one sound at a time.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Stops the sound before and starts this WAV file, after the lead-in if one is given;
    // returns as soon as the sound server has taken the sound, without waiting for it to be
    // played. A file that cannot be read or is no PCM WAV plays nothing and reports nothing.
    // Throws vortan::Error when no sound server can be reached or it refuses the sound, and for
    // a lead-in outside its ranges.
    virtual void play(const std::filesystem::path& wavFile, const PlaybackLeadIn& leadIn = {}) = 0;
    // As play(), for a WAV file still being written: waits for its header, then plays what
    // exists while the rest is written, never reading past it. A writing that fails ends the
    // sound where it failed.
    virtual void playWhileWritten(std::shared_ptr<const GrowingFile> wavFile,
                                  const PlaybackLeadIn& leadIn = {}) = 0;
    // Silences the current sound at once; nothing happens when none plays.
    virtual void stop() = 0;

    // The frame of the current sound that reaches the speakers now, as the sound server tells
    // it (its latency taken off), counted from the file's first frame: negative while the
    // lead-in plays. None when no sound plays (not started, stopped or played out). Callable
    // from any thread at any moment; it asks the server nothing, so it costs a lock and a few
    // operations.
    virtual std::optional<std::int64_t> heardFrame() const = 0;

    // Told, once and on another thread, when a sound stops before its end because the sound
    // server went away; `reason` is a message for the user. Replaces the handler set before.
    using SoundLostHandler = std::function<void(const std::string& reason)>;
    virtual void setSoundLostHandler(SoundLostHandler handler) = 0;
};

} // namespace vortan
