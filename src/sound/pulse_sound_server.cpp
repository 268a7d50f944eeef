#include "sound/pulse_sound_server.h"

#include "sound/pcm_wav.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

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

constexpr pa_usec_t reconnectDelay = 1000 * 1000; // 1 s
constexpr pa_usec_t bufferTime = 200 * 1000;      // 200 ms
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

void dropOperation(pa_operation* operation)
{
    if (operation)
        pa_operation_unref(operation);
}

} // namespace

// Everything the pulse thread touches. Members below `loop` are guarded by the main loop's
// lock (held in every libpulse callback); the cached volume and the listeners have their own.
struct PulseSoundServer::Connection {
    std::string applicationName;
    pa_threaded_mainloop* loop = nullptr;
    pa_mainloop_api* api = nullptr;

    pa_context* context = nullptr;
    pa_time_event* retry = nullptr;
    bool closing = false;

    std::string sinkName;
    std::uint32_t sinkIndex = PA_INVALID_INDEX;
    pa_channel_map sinkMap{};

    pa_stream* stream = nullptr;
    PcmSound sound;
    std::size_t writtenBytes = 0;
    bool draining = false;

    std::atomic<std::int64_t> cachedVolume{noVolume};
    std::mutex listenerMutex;
    std::map<int, ChangeListener> listeners;
    int lastListenerId = 0;

    class Lock {
    public:
        explicit Lock(pa_threaded_mainloop* loop)
            : m_loop(loop)
        {
            pa_threaded_mainloop_lock(m_loop);
        }
        ~Lock() { pa_threaded_mainloop_unlock(m_loop); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* m_loop;
    };

    bool ready() const { return context && pa_context_get_state(context) == PA_CONTEXT_READY; }

    void scheduleConnect(pa_usec_t delay)
    {
        if (closing || retry)
            return;
        timeval when;
        pa_timeval_add(pa_gettimeofday(&when), delay);
        retry = api->time_new(api, &when, &Connection::onRetry, this);
    }

    static void onRetry(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* self)
    {
        auto* c = static_cast<Connection*>(self);
        api->time_free(event);
        c->retry = nullptr;
        c->connect();
    }

    void connect()
    {
        if (closing || context)
            return;
        pa_proplist* properties = pa_proplist_new();
        pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, applicationName.c_str());
        pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "game");
        pa_context* fresh = pa_context_new_with_proplist(api, applicationName.c_str(), properties);
        pa_proplist_free(properties);
        if (!fresh) {
            scheduleConnect(reconnectDelay);
            return;
        }
        context = fresh;
        pa_context_set_state_callback(context, &Connection::onContextState, this);
        pa_context_set_subscribe_callback(context, &Connection::onSubscription, this);
        // No autospawn: starting a server is the desktop's business, not ours.
        if (pa_context_connect(fresh, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 &&
            context == fresh) {
            dropContext(true);
            scheduleConnect(reconnectDelay);
        }
    }

    void dropContext(bool notify)
    {
        releaseStream();
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_set_subscribe_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
            context = nullptr;
        }
        sinkName.clear();
        sinkIndex = PA_INVALID_INDEX;
        storeVolume(noVolume, notify);
    }

    static void onContextState(pa_context* context, void* self)
    {
        auto* c = static_cast<Connection*>(self);
        if (context != c->context)
            return;
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            dropOperation(
                pa_context_subscribe(context,
                                     static_cast<pa_subscription_mask_t>(
                                         PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER),
                                     nullptr, nullptr));
            c->queryServer();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            // The server went away (or never was): forget it and look again later.
            c->dropContext(true);
            c->scheduleConnect(reconnectDelay);
            break;
        default:
            break;
        }
    }

    void queryServer()
    {
        if (ready())
            dropOperation(pa_context_get_server_info(context, &Connection::onServerInfo, this));
    }

    static void onServerInfo(pa_context* context, const pa_server_info* info, void* self)
    {
        auto* c = static_cast<Connection*>(self);
        if (context != c->context || !info)
            return;
        if (!info->default_sink_name || !*info->default_sink_name) {
            c->sinkName.clear();
            c->sinkIndex = PA_INVALID_INDEX;
            c->storeVolume(noVolume, true);
            return;
        }
        c->sinkName = info->default_sink_name;
        c->querySink();
    }

    void querySink()
    {
        if (ready() && !sinkName.empty())
            dropOperation(pa_context_get_sink_info_by_name(context, sinkName.c_str(),
                                                           &Connection::onSinkInfo, this));
    }

    static void onSinkInfo(pa_context* context, const pa_sink_info* info, int endOfList, void* self)
    {
        auto* c = static_cast<Connection*>(self);
        if (context != c->context || endOfList != 0 || !info || c->sinkName != info->name)
            return;
        c->sinkIndex = info->index;
        c->sinkMap = info->channel_map;
        c->storeVolume(packVolume(info->volume, info->channel_map), true);
    }

    static void onSubscription(pa_context* context, pa_subscription_event_type_t type,
                               std::uint32_t index, void* self)
    {
        auto* c = static_cast<Connection*>(self);
        if (context != c->context)
            return;
        const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
        const auto kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
        if (facility == PA_SUBSCRIPTION_EVENT_SERVER ||
            (facility == PA_SUBSCRIPTION_EVENT_SINK && kind != PA_SUBSCRIPTION_EVENT_CHANGE)) {
            c->queryServer(); // the default sink may have changed, come or gone
        } else if (facility == PA_SUBSCRIPTION_EVENT_SINK && index == c->sinkIndex) {
            c->querySink();
        }
    }

    void storeVolume(std::int64_t volume, bool notify)
    {
        if (cachedVolume.exchange(volume) == volume || !notify)
            return;
        std::lock_guard lock(listenerMutex);
        for (auto& [id, listener] : listeners)
            listener();
    }

    void setVolume(std::uint32_t volume)
    {
        if (!ready() || sinkName.empty() || sinkMap.channels == 0)
            return;
        const pa_cvolume serverVolume = unpackVolume(volume, sinkMap);
        if (!pa_cvolume_valid(&serverVolume))
            return;
        // What the server will report back, so that volume() agrees at once.
        storeVolume(packVolume(serverVolume, sinkMap), false);
        dropOperation(pa_context_set_sink_volume_by_name(context, sinkName.c_str(), &serverVolume,
                                                         nullptr, nullptr));
    }

    void play(PcmSound&& newSound)
    {
        releaseStream();
        if (!ready() || newSound.samples.empty())
            return;
        pa_sample_spec sampleFormat;
        sampleFormat.format = newSound.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
        sampleFormat.rate = static_cast<std::uint32_t>(newSound.sampleRate);
        sampleFormat.channels = static_cast<std::uint8_t>(newSound.channelCount);
        if (!pa_sample_spec_valid(&sampleFormat))
            return;
        stream = pa_stream_new(context, "Morse", &sampleFormat, nullptr);
        if (!stream)
            return;
        sound = std::move(newSound);
        writtenBytes = 0;
        draining = false;
        pa_stream_set_state_callback(stream, &Connection::onStreamState, this);
        pa_stream_set_write_callback(stream, &Connection::onStreamWrite, this);
        // A short server buffer: the sink never renders far ahead, so a stop or the next sound
        // is heard at once on every kind of output.
        pa_buffer_attr buffer;
        buffer.maxlength = static_cast<std::uint32_t>(-1);
        buffer.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(bufferTime, &sampleFormat));
        buffer.prebuf = static_cast<std::uint32_t>(-1);
        buffer.minreq = static_cast<std::uint32_t>(-1);
        buffer.fragsize = static_cast<std::uint32_t>(-1);
        if (pa_stream_connect_playback(stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                       nullptr) < 0)
            releaseStream();
    }

    // Disconnecting removes the stream from the server together with all it still buffers,
    // so the sound stops at once rather than after the buffer drains.
    void releaseStream()
    {
        if (!stream)
            return;
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
        sound = PcmSound{};
        writtenBytes = 0;
        draining = false;
    }

    static void onStreamState(pa_stream* stream, void* self)
    {
        auto* c = static_cast<Connection*>(self);
        if (stream != c->stream)
            return;
        const pa_stream_state_t state = pa_stream_get_state(stream);
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
            c->releaseStream();
    }

    static void onStreamWrite(pa_stream* stream, std::size_t requestedBytes, void* self)
    {
        auto* c = static_cast<Connection*>(self);
        if (stream != c->stream || c->draining)
            return;
        const std::size_t frameBytes = static_cast<std::size_t>(c->sound.frameBytes());
        const std::size_t left = c->sound.samples.size() - c->writtenBytes;
        std::size_t count = std::min(requestedBytes, left);
        if (count < left)
            count -= count % frameBytes;
        if (count > 0) {
            if (pa_stream_write(stream, c->sound.samples.data() + c->writtenBytes, count, nullptr,
                                0, PA_SEEK_RELATIVE) < 0) {
                c->releaseStream();
                return;
            }
            c->writtenBytes += count;
        }
        if (c->writtenBytes == c->sound.samples.size()) {
            // Everything is queued; the drain also starts playback of a sound shorter than
            // the prebuffer.
            c->draining = true;
            dropOperation(pa_stream_drain(stream, &Connection::onDrained, c));
        }
    }

    static void onDrained(pa_stream* stream, int, void* self)
    {
        auto* c = static_cast<Connection*>(self);
        if (stream == c->stream)
            c->releaseStream();
    }
};

PulseSoundServer::PulseSoundServer(std::string applicationName)
    : m_connection(std::make_unique<Connection>())
{
    Connection& c = *m_connection;
    c.applicationName = std::move(applicationName);
    c.loop = pa_threaded_mainloop_new();
    if (!c.loop)
        return; // out of memory: behave as without a server
    c.api = pa_threaded_mainloop_get_api(c.loop);
    pa_threaded_mainloop_set_name(c.loop, "vortan-sound");
    Connection::Lock lock(c.loop);
    // The first attempt also runs on the pulse thread, so a slow server never holds us up.
    c.scheduleConnect(0);
    if (pa_threaded_mainloop_start(c.loop) < 0)
        c.closing = true;
}

PulseSoundServer::~PulseSoundServer()
{
    Connection& c = *m_connection;
    if (!c.loop)
        return;
    {
        Connection::Lock lock(c.loop);
        c.closing = true;
        if (c.retry) {
            c.api->time_free(c.retry);
            c.retry = nullptr;
        }
        c.dropContext(false);
    }
    pa_threaded_mainloop_stop(c.loop);
    pa_threaded_mainloop_free(c.loop);
}

void PulseSoundServer::play(const std::filesystem::path& wavFile)
{
    Connection& c = *m_connection;
    if (!c.loop)
        return;
    // Read before anything else: the caller may rewrite the file as soon as we return.
    std::optional<PcmSound> sound = readPcmWav(wavFile);
    Connection::Lock lock(c.loop);
    if (sound)
        c.play(std::move(*sound));
    else
        c.releaseStream();
}

void PulseSoundServer::stop()
{
    Connection& c = *m_connection;
    if (!c.loop)
        return;
    Connection::Lock lock(c.loop);
    c.releaseStream();
}

std::optional<std::uint32_t> PulseSoundServer::volume() const
{
    const std::int64_t volume = m_connection->cachedVolume.load();
    if (volume == noVolume)
        return std::nullopt;
    return static_cast<std::uint32_t>(volume);
}

void PulseSoundServer::setVolume(std::uint32_t volume)
{
    Connection& c = *m_connection;
    if (!c.loop)
        return;
    Connection::Lock lock(c.loop);
    c.setVolume(volume);
}

int PulseSoundServer::subscribe(ChangeListener listener)
{
    Connection& c = *m_connection;
    std::lock_guard lock(c.listenerMutex);
    c.listeners[++c.lastListenerId] = std::move(listener);
    return c.lastListenerId;
}

void PulseSoundServer::unsubscribe(int id)
{
    Connection& c = *m_connection;
    std::lock_guard lock(c.listenerMutex);
    c.listeners.erase(id);
}

bool PulseSoundServer::hasOutput() const
{
    return volume().has_value();
}

bool PulseSoundServer::isPlaying() const
{
    Connection& c = *m_connection;
    if (!c.loop)
        return false;
    Connection::Lock lock(c.loop);
    return c.stream != nullptr;
}

} // namespace vortan
