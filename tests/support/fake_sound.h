// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sound/output_volume.h"
#include "sound/sound_player.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vortan::test {

// A player that only notes what it was asked: "play <file>" and "stop".
class RecordingPlayer final : public SoundPlayer {
public:
    void play(const std::filesystem::path& wavFile, const PlaybackLeadIn& = {}) override
    {
        calls.push_back("play " + wavFile.string());
    }
    void stop() override { calls.push_back("stop"); }
    std::vector<std::string> calls;
};

// An output with no sound server behind it: the volume slider only keeps its level.
class NoOutputVolume final : public OutputVolume {
public:
    std::optional<std::uint32_t> volume() const override { return std::nullopt; }
    void setVolume(std::uint32_t) override {}
    int subscribe(ChangeListener) override { return 0; }
    void unsubscribe(int) override {}
};

} // namespace vortan::test
