// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sound/output_volume.h"
#include "sound/pulse_connection.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct pa_channel_map;
struct pa_operation;

namespace vortan {

// The volume of the sound server's default sink, followed when the user switches it. Kept in
// memory and updated by the server's own news, so that volume() never waits; nullopt while
// there is no server or no sink.
class PulseVolume final : public OutputVolume, private PulseConnection::Client {
public:
    explicit PulseVolume(PulseConnection& connection);
    ~PulseVolume() override;

    PulseVolume(const PulseVolume&) = delete;
    PulseVolume& operator=(const PulseVolume&) = delete;

    std::optional<std::uint32_t> volume() const override;
    void setVolume(std::uint32_t volume) override;
    int subscribe(ChangeListener listener) override;
    void unsubscribe(int id) override;

    // True while connected and a default sink is known.
    bool hasOutput() const { return volume().has_value(); }

private:
    struct Callbacks; // libpulse's callbacks, in the source
    friend Callbacks;

    void connected(pa_context* context) override;
    void disconnected() override;
    void serverEvent(unsigned eventType, std::uint32_t index) override;

    void queryServer();
    void querySink();
    void forgetSink();
    // Keeps the operation until it is done, so that it can be cancelled when we go first.
    void track(pa_operation* operation);
    void dropOperations();
    void storeVolume(std::int64_t volume, bool notify);

    PulseConnection& m_connection;
    // Under the connection's lock:
    pa_context* m_context = nullptr;
    std::string m_sinkName;
    std::uint32_t m_sinkIndex;
    std::unique_ptr<pa_channel_map> m_sinkMap; // null until the sink is known
    std::vector<pa_operation*> m_operations;

    std::atomic<std::int64_t> m_volume; // -1: none
    std::mutex m_listenerMutex;
    std::map<int, ChangeListener> m_listeners;
    int m_lastListenerId = 0;
};

// One channel of our volume layout (0..65535) on the server's scale, where the server's normal
// volume (100 %) is 65535, and back. channelFromServerVolume(serverVolumeFromChannel(x)) == x
// for every x; server volumes above normal read as 65535.
std::uint32_t serverVolumeFromChannel(std::uint16_t channel);
std::uint16_t channelFromServerVolume(std::uint32_t serverVolume);

} // namespace vortan
