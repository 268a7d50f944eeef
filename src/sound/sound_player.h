#pragma once

#include <filesystem>

namespace vortan {

// Background playback of one sound at a time.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Reads the whole WAV file, stops the sound before, and starts this one; returns at once.
    // A file that cannot be read or is no PCM WAV plays nothing and reports nothing.
    virtual void play(const std::filesystem::path& wavFile) = 0;
    // Silences the current sound at once; nothing happens when none plays.
    virtual void stop() = 0;
};

} // namespace vortan
