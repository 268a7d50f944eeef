// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sound/output_volume.h"
#include "sound/sound_player.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vortan::test {

// A player that only notes what it was asked: "play <file>", "play while written" and "stop".
class RecordingPlayer final : public SoundPlayer {
public:
    void play(const std::filesystem::path& wavFile, const PlaybackLeadIn& = {}) override
    {
        calls.push_back("play " + wavFile.string());
    }
    void playWhileWritten(std::shared_ptr<const GrowingFile>, const PlaybackLeadIn& = {}) override
    {
        calls.push_back("play while written");
    }
    void stop() override
    {
        calls.push_back("stop");
        heard.reset();
    }
    // What a test says is heard now; stop() ends it.
    std::optional<std::int64_t> heardFrame() const override { return heard; }
    std::optional<std::int64_t> heard;
    void setSoundLostHandler(SoundLostHandler handler) override { soundLost = std::move(handler); }
    std::vector<std::string> calls;
    SoundLostHandler soundLost;
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
