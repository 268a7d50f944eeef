// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pulse_volume.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

namespace vortan {

static_assert(PA_VOLUME_NORM == 0x10000u, "the volume mapping assumes the usual normal volume");

std::uint32_t serverVolumeFromChannel(std::uint16_t channel)
{
    // Rounded to nearest: below half scale this is the identity, above it one more.
    return static_cast<std::uint32_t>((std::uint64_t{channel} * PA_VOLUME_NORM + 32767) / 65535);
}

std::uint16_t channelFromServerVolume(std::uint32_t serverVolume)
{
    const std::uint64_t channel = (std::uint64_t{serverVolume} * 65535 + 32768) / PA_VOLUME_NORM;
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(channel, 65535));
}

namespace {

constexpr std::int64_t noVolume = -1;

bool isLeft(pa_channel_position_t position)
{
    switch (position) {
    case PA_CHANNEL_POSITION_FRONT_LEFT:
    case PA_CHANNEL_POSITION_REAR_LEFT:
    case PA_CHANNEL_POSITION_FRONT_LEFT_OF_CENTER:
    case PA_CHANNEL_POSITION_SIDE_LEFT:
    case PA_CHANNEL_POSITION_TOP_FRONT_LEFT:
    case PA_CHANNEL_POSITION_TOP_REAR_LEFT:
        return true;
    default:
        return false;
    }
}

bool isRight(pa_channel_position_t position)
{
    switch (position) {
    case PA_CHANNEL_POSITION_FRONT_RIGHT:
    case PA_CHANNEL_POSITION_REAR_RIGHT:
    case PA_CHANNEL_POSITION_FRONT_RIGHT_OF_CENTER:
    case PA_CHANNEL_POSITION_SIDE_RIGHT:
    case PA_CHANNEL_POSITION_TOP_FRONT_RIGHT:
    case PA_CHANNEL_POSITION_TOP_REAR_RIGHT:
        return true;
    default:
        return false;
    }
}

// Left word: the loudest left channel; right word: the loudest right one. A sink without
// sides (mono, centre only) shows its loudest channel in both words.
std::uint32_t packVolume(const pa_cvolume& volume, const pa_channel_map& map)
{
    pa_volume_t left = 0;
    pa_volume_t right = 0;
    bool anyLeft = false;
    bool anyRight = false;
    for (unsigned i = 0; i < volume.channels && i < map.channels; ++i) {
        if (isLeft(map.map[i])) {
            left = std::max(left, volume.values[i]);
            anyLeft = true;
        } else if (isRight(map.map[i])) {
            right = std::max(right, volume.values[i]);
            anyRight = true;
        }
    }
    const pa_volume_t loudest = pa_cvolume_max(&volume);
    if (!anyLeft)
        left = loudest;
    if (!anyRight)
        right = loudest;
    return (std::uint32_t{channelFromServerVolume(right)} << 16) | channelFromServerVolume(left);
}

// Left word to left channels, right word to right ones, the louder word to the rest.
pa_cvolume unpackVolume(std::uint32_t packed, const pa_channel_map& map)
{
    const pa_volume_t left = serverVolumeFromChannel(static_cast<std::uint16_t>(packed & 0xffff));
    const pa_volume_t right = serverVolumeFromChannel(static_cast<std::uint16_t>(packed >> 16));
    pa_cvolume volume;
    pa_cvolume_init(&volume);
    volume.channels = map.channels;
    for (unsigned i = 0; i < map.channels; ++i)
        volume.values[i] = isLeft(map.map[i])    ? left
                           : isRight(map.map[i]) ? right
                                                 : std::max(left, right);
    return volume;
}

} // namespace

struct PulseVolume::Callbacks {
    static void onServerInfo(pa_context* context, const pa_server_info* info, void* self)
    {
        auto* v = static_cast<PulseVolume*>(self);
        if (context != v->m_context || !info)
            return;
        if (!info->default_sink_name || !*info->default_sink_name) {
            v->forgetSink();
            v->storeVolume(noVolume, true);
            return;
        }
        v->m_sinkName = info->default_sink_name;
        v->querySink();
    }

    static void onSinkInfo(pa_context* context, const pa_sink_info* info, int endOfList, void* self)
    {
        auto* v = static_cast<PulseVolume*>(self);
        if (context != v->m_context || endOfList != 0 || !info || v->m_sinkName != info->name)
            return;
        v->m_sinkIndex = info->index;
        v->m_sinkMap = std::make_unique<pa_channel_map>(info->channel_map);
        v->storeVolume(packVolume(info->volume, info->channel_map), true);
    }
};

PulseVolume::PulseVolume(PulseConnection& connection)
    : m_connection(connection)
    , m_sinkIndex(PA_INVALID_INDEX)
    , m_volume(noVolume)
{
    PulseConnection::Lock lock(m_connection);
    m_connection.addClient(this);
}

PulseVolume::~PulseVolume()
{
    PulseConnection::Lock lock(m_connection);
    m_connection.removeClient(this);
    dropOperations(); // their callbacks would find us gone
}

void PulseVolume::connected(pa_context* context)
{
    m_context = context;
    track(pa_context_subscribe(context,
                               static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK |
                                                                   PA_SUBSCRIPTION_MASK_SERVER),
                               nullptr, nullptr));
    queryServer();
}

void PulseVolume::dropOperations()
{
    for (pa_operation* operation : m_operations) {
        pa_operation_cancel(operation);
        pa_operation_unref(operation);
    }
    m_operations.clear();
}

void PulseVolume::disconnected()
{
    dropOperations();
    m_context = nullptr;
    forgetSink();
    storeVolume(noVolume, true);
}

void PulseVolume::serverEvent(unsigned eventType, std::uint32_t index)
{
    const unsigned facility = eventType & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const unsigned kind = eventType & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    if (facility == PA_SUBSCRIPTION_EVENT_SERVER ||
        (facility == PA_SUBSCRIPTION_EVENT_SINK && kind != PA_SUBSCRIPTION_EVENT_CHANGE)) {
        queryServer(); // the default sink may have changed, come or gone
    } else if (facility == PA_SUBSCRIPTION_EVENT_SINK && index == m_sinkIndex) {
        querySink();
    }
}

void PulseVolume::track(pa_operation* operation)
{
    std::erase_if(m_operations, [](pa_operation* done) {
        if (pa_operation_get_state(done) == PA_OPERATION_RUNNING)
            return false;
        pa_operation_unref(done);
        return true;
    });
    if (operation)
        m_operations.push_back(operation);
}

void PulseVolume::queryServer()
{
    if (m_context)
        track(pa_context_get_server_info(m_context, &Callbacks::onServerInfo, this));
}

void PulseVolume::querySink()
{
    if (m_context && !m_sinkName.empty())
        track(pa_context_get_sink_info_by_name(m_context, m_sinkName.c_str(),
                                               &Callbacks::onSinkInfo, this));
}

void PulseVolume::forgetSink()
{
    m_sinkName.clear();
    m_sinkIndex = PA_INVALID_INDEX;
    m_sinkMap.reset();
}

void PulseVolume::storeVolume(std::int64_t volume, bool notify)
{
    if (m_volume.exchange(volume) == volume || !notify)
        return;
    std::lock_guard lock(m_listenerMutex);
    for (auto& [id, listener] : m_listeners)
        listener();
}

std::optional<std::uint32_t> PulseVolume::volume() const
{
    const std::int64_t volume = m_volume.load();
    if (volume == noVolume)
        return std::nullopt;
    return static_cast<std::uint32_t>(volume);
}

void PulseVolume::setVolume(std::uint32_t volume)
{
    PulseConnection::Lock lock(m_connection);
    if (!m_context || m_sinkName.empty() || !m_sinkMap || m_sinkMap->channels == 0)
        return;
    const pa_cvolume serverVolume = unpackVolume(volume, *m_sinkMap);
    if (!pa_cvolume_valid(&serverVolume))
        return;
    // What the server will report back, so that volume() agrees at once.
    storeVolume(packVolume(serverVolume, *m_sinkMap), false);
    track(pa_context_set_sink_volume_by_name(m_context, m_sinkName.c_str(), &serverVolume, nullptr,
                                             nullptr));
}

int PulseVolume::subscribe(ChangeListener listener)
{
    std::lock_guard lock(m_listenerMutex);
    m_listeners[++m_lastListenerId] = std::move(listener);
    return m_lastListenerId;
}

void PulseVolume::unsubscribe(int id)
{
    std::lock_guard lock(m_listenerMutex);
    m_listeners.erase(id);
}

} // namespace vortan
