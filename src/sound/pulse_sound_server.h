#pragma once

#include "sound/output_volume.h"
#include "sound/sound_player.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vortan {

// The PulseAudio server as our sound player and output volume. One connection, run on
// libpulse's own thread: nothing here waits for the server. Without a server nothing plays and
// volume() is nullopt; the connection is retried every second, so a server that starts later
// (or restarts) is picked up by itself. The output is the server's default sink, followed when
// the user switches it.
class PulseSoundServer final : public SoundPlayer, public OutputVolume {
public:
    explicit PulseSoundServer(std::string applicationName = "Vortan");
    ~PulseSoundServer() override;

    PulseSoundServer(const PulseSoundServer&) = delete;
    PulseSoundServer& operator=(const PulseSoundServer&) = delete;

    void play(const std::filesystem::path& wavFile) override;
    void stop() override;

    std::optional<std::uint32_t> volume() const override;
    void setVolume(std::uint32_t volume) override;
    int subscribe(ChangeListener listener) override;
    void unsubscribe(int id) override;

    // True while connected and a default sink is known.
    bool hasOutput() const;
    // True from play() until the sound has been played out or stopped.
    bool isPlaying() const;

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
};

// One channel of our volume layout (0..65535) on the server's scale, where the server's normal
// volume (100 %) is 65535, and back. channelFromServerVolume(serverVolumeFromChannel(x)) == x
// for every x; server volumes above normal read as 65535.
std::uint32_t serverVolumeFromChannel(std::uint16_t channel);
std::uint16_t channelFromServerVolume(std::uint32_t serverVolume);

} // namespace vortan
