// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pulse_player.h"

#include "base/errors.h"
#include "files/growing_file.h"
#include "sound/sound_feed.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <span>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vortan {
namespace {

constexpr pa_usec_t bufferTime = 200 * 1000; // 200 ms
// Enough for every chunk header a WAV file of ours or of usual tools has before its samples.
constexpr std::size_t headBytes = 4096;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

struct OpenSound {
    PcmWavLayout layout;
    pa_sample_spec sampleFormat;
};

std::uint64_t read32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint64_t>(bytes[at + 3]) << 24;
}

// The format and the place of the samples, from the first page of the file. A file still being
// written is taken to be as long as its header says.
std::optional<OpenSound> readHeader(int fd, const GrowingFile* growing = nullptr)
{
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    std::array<std::uint8_t, headBytes> head;
    ssize_t got;
    do
        got = ::pread(fd, head.data(), head.size(), 0);
    while (got < 0 && errno == EINTR);
    if (got < 0)
        return std::nullopt;
    const auto read = std::span<const std::uint8_t>(head).first(static_cast<std::size_t>(got));
    auto fileBytes = static_cast<std::uint64_t>(status.st_size);
    if (growing && growing->state() != GrowingFile::State::Complete && read.size() >= 8)
        fileBytes = 8 + read32(read, 4);
    const auto layout = parsePcmWavLayout(read, fileBytes);
    if (!layout)
        return std::nullopt;
    pa_sample_spec sampleFormat;
    // 8-bit samples go to the server widened to 16 bits (see widenToSixteenBits).
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = static_cast<std::uint32_t>(layout->format.sampleRate);
    sampleFormat.channels = static_cast<std::uint8_t>(layout->format.channelCount);
    if (!pa_sample_spec_valid(&sampleFormat))
        return std::nullopt;
    return OpenSound{*layout, sampleFormat};
}

// Turns the first `count` unsigned 8-bit samples of `buffer` into signed 16-bit ones in place,
// filling 2 * count bytes. PipeWire's PulseAudio service fills what a stream has not yet given
// (before its first samples and after its last) with zero bytes, which in unsigned 8-bit is the
// lowest level rather than silence: a full-scale click at the start and end of every Play. In
// 16-bit, zero is silence.
void widenToSixteenBits(std::uint8_t* buffer, std::size_t count)
{
    // Backwards, so that no sample is overwritten before it is read.
    for (std::size_t at = count; at-- > 0;) {
        const auto sample = static_cast<std::uint16_t>((buffer[at] - 128) * 256);
        buffer[2 * at] = static_cast<std::uint8_t>(sample & 0xff);
        buffer[2 * at + 1] = static_cast<std::uint8_t>(sample >> 8);
    }
}

} // namespace

struct PulsePlayer::Callbacks {
    static void onWake(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self)
    {
        std::uint64_t count;
        while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
        }
        static_cast<PulsePlayer*>(self)->pump();
    }

    static void onStreamState(pa_stream* stream, void* self)
    {
        auto* p = static_cast<PulsePlayer*>(self);
        if (stream != p->m_stream)
            return;
        switch (pa_stream_get_state(stream)) {
        case PA_STREAM_READY:
            p->m_start = Start::Ready;
            p->m_connection.wakeWaiters();
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
            // Our own ends remove this callback first: this one came from the server.
            if (p->m_start == Start::Waiting) {
                p->m_start = Start::Failed;
                p->releaseStream();
            } else {
                p->soundLost();
            }
            p->m_connection.wakeWaiters();
            break;
        default:
            break;
        }
    }

    static void onStreamWrite(pa_stream* stream, std::size_t, void* self)
    {
        auto* p = static_cast<PulsePlayer*>(self);
        if (stream == p->m_stream)
            p->pump();
    }

    static void onDrained(pa_stream* stream, int, void* self)
    {
        auto* p = static_cast<PulsePlayer*>(self);
        if (stream != p->m_stream)
            return;
        // Done now: libpulse keeps its own reference while it calls us.
        pa_operation_unref(p->m_drain);
        p->m_drain = nullptr;
        p->releaseStream();
    }
};

PulsePlayer::PulsePlayer(PulseConnection& connection)
    : m_connection(connection)
{
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    PulseConnection::Lock lock(m_connection);
    if (m_wakeFd >= 0 && m_connection.running())
        m_wakeEvent = m_connection.api()->io_new(m_connection.api(), m_wakeFd, PA_IO_EVENT_INPUT,
                                                 &Callbacks::onWake, this);
    m_connection.addClient(this);
}

PulsePlayer::~PulsePlayer()
{
    std::vector<std::unique_ptr<SoundFeed>> retired;
    {
        PulseConnection::Lock lock(m_connection);
        m_connection.removeClient(this);
        releaseStream();
        if (m_wakeEvent)
            m_connection.api()->io_free(m_wakeEvent);
        retired = std::move(m_retired);
    }
    retired.clear(); // waits for readers still in a read, without holding up the pulse thread
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void PulsePlayer::play(const std::filesystem::path& wavFile, const PlaybackLeadIn& leadIn)
{
    checkLeadIn(leadIn);
    stop();

    // Opened here, at Play, and streamed from this descriptor while it plays. Every rendering is
    // a new file that takes the name by a rename, so the file opened here never changes under
    // us even when the next rendering is made while this one still plays: that is why it need
    // not be read whole first. Not blocking: a FIFO in its place is refused, not waited for.
    FileDescriptor file(::open(wavFile.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        return;
    // The header is the one read made here: the first page of a file just written.
    const std::optional<OpenSound> sound = readHeader(file.get());
    if (!sound)
        return;
    start(file.release(), sound->layout, sound->sampleFormat, leadIn, nullptr);
}

void PulsePlayer::playWhileWritten(std::shared_ptr<const GrowingFile> wavFile,
                                   const PlaybackLeadIn& leadIn)
{
    checkLeadIn(leadIn);
    stop();

    // The writer's first block holds the header; it comes within milliseconds.
    const std::atomic<bool> never{false};
    std::uint64_t existing = 0;
    while (existing < headBytes && !wavFile->ended())
        existing = wavFile->waitBeyond(existing, never);
    if (wavFile->state() == GrowingFile::State::Failed)
        return; // the writer reports why
    FileDescriptor file(::fcntl(wavFile->readDescriptor(), F_DUPFD_CLOEXEC, 0));
    if (file.get() < 0)
        return;
    const std::optional<OpenSound> sound = readHeader(file.get(), wavFile.get());
    if (!sound)
        return;
    start(file.release(), sound->layout, sound->sampleFormat, leadIn, std::move(wavFile));
}

void PulsePlayer::start(int fd, const PcmWavLayout& layout, const pa_sample_spec& sampleFormat,
                        const PlaybackLeadIn& leadIn, std::shared_ptr<const GrowingFile> growing)
{
    FileDescriptor file(fd);
    const LeadInSound leadInSound(leadIn, layout.format);

    PulseConnection::Lock lock(m_connection);
    pa_context* context = m_connection.connectNow(serverLimit);
    if (!context)
        throw Error(noServerMessage);
    if (layout.dataBytes == 0)
        return; // an empty text: silence, as its file says

    m_stream = pa_stream_new(context, "Morse", &sampleFormat, nullptr);
    if (!m_stream)
        throw Error(noServerMessage);
    const int wakeFd = m_wakeFd;
    m_feed = std::make_unique<SoundFeed>(
        file.release(), layout, leadInSound,
        [wakeFd] {
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto ignored = ::write(wakeFd, &one, sizeof one);
        },
        std::move(growing));
    m_start = Start::Waiting;
    m_leadInFrames = static_cast<std::int64_t>(
        leadInSound.remainingBytes() / static_cast<std::uint64_t>(layout.format.frameBytes()));
    m_frameRate = sampleFormat.rate;
    m_widen = layout.format.bitsPerSample == 8;
    pa_stream_set_state_callback(m_stream, &Callbacks::onStreamState, this);
    pa_stream_set_write_callback(m_stream, &Callbacks::onStreamWrite, this);
    // A short server buffer: the sink never renders far ahead, so a stop or the next sound is
    // heard at once on every kind of output.
    pa_buffer_attr buffer;
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(bufferTime, &sampleFormat));
    buffer.prebuf = static_cast<std::uint32_t>(-1);
    buffer.minreq = static_cast<std::uint32_t>(-1);
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    // The timing flags keep the server's clock at hand (updated now and then, interpolated
    // between), so heardFrame() never waits for the server.
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa_stream_connect_playback(m_stream, nullptr, &buffer, flags, nullptr, nullptr) < 0) {
        releaseStream();
        throw Error(noServerMessage);
    }
    if (!m_connection.waitUntil([this] { return m_start != Start::Waiting; }, serverLimit) ||
        m_start == Start::Failed) {
        releaseStream();
        throw Error(noServerMessage);
    }
}

void PulsePlayer::stop()
{
    std::vector<std::unique_ptr<SoundFeed>> finished;
    {
        PulseConnection::Lock lock(m_connection);
        releaseStream();
        finished = takeFinishedFeeds();
    }
    // Closed outside the lock: the last close of a replaced rendering frees all its pages, which
    // the pulse thread should not wait for.
    finished.clear();
}

std::optional<std::int64_t> PulsePlayer::heardFrame() const
{
    PulseConnection::Lock lock(m_connection);
    if (!m_stream || m_start != Start::Ready || pa_stream_get_state(m_stream) != PA_STREAM_READY)
        return std::nullopt;
    pa_usec_t played = 0;
    // Before the first timing answer nothing has reached the speakers yet.
    if (pa_stream_get_time(m_stream, &played) < 0)
        played = 0;
    const auto frames = static_cast<std::int64_t>(played * m_frameRate / PA_USEC_PER_SEC);
    return frames - m_leadInFrames;
}

bool PulsePlayer::isPlaying() const
{
    PulseConnection::Lock lock(m_connection);
    return m_stream != nullptr;
}

void PulsePlayer::setSoundLostHandler(SoundLostHandler handler)
{
    PulseConnection::Lock lock(m_connection);
    m_soundLost = std::move(handler);
}

void PulsePlayer::disconnected()
{
    soundLost();
}

void PulsePlayer::soundLost()
{
    if (!m_stream)
        return;
    const bool starting = m_start == Start::Waiting; // play() itself says so
    releaseStream();
    if (!starting && m_soundLost)
        m_soundLost(soundLostMessage);
}

void PulsePlayer::pump()
{
    if (!m_stream || !m_feed || m_drain || pa_stream_get_state(m_stream) != PA_STREAM_READY)
        return;
    std::size_t writable = pa_stream_writable_size(m_stream);
    if (writable == static_cast<std::size_t>(-1))
        return;
    while (writable > 0) {
        void* buffer = nullptr;
        std::size_t room = writable;
        if (pa_stream_begin_write(m_stream, &buffer, &room) < 0 || !buffer) {
            releaseStream();
            return;
        }
        auto* bytes = static_cast<std::uint8_t*>(buffer);
        const std::size_t wanted = m_widen ? room / 2 : room;
        const std::size_t taken = m_feed->take({bytes, wanted});
        if (taken == 0) {
            pa_stream_cancel_write(m_stream);
            break; // the reader nudges us when more is there
        }
        if (m_widen)
            widenToSixteenBits(bytes, taken);
        const std::size_t count = m_widen ? 2 * taken : taken;
        if (pa_stream_write(m_stream, buffer, count, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            releaseStream();
            return;
        }
        writable -= std::min(count, writable);
        if (taken < wanted)
            break;
    }
    if (m_feed->atEnd()) {
        // Everything is queued; the drain also starts a sound shorter than the prebuffer.
        m_drain = pa_stream_drain(m_stream, &Callbacks::onDrained, this);
    }
}

void PulsePlayer::releaseStream()
{
    if (m_drain) {
        pa_operation_cancel(m_drain);
        pa_operation_unref(m_drain);
        m_drain = nullptr;
    }
    if (m_stream) {
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_feed) {
        m_feed->cancel();
        m_retired.push_back(std::move(m_feed));
    }
}

std::vector<std::unique_ptr<SoundFeed>> PulsePlayer::takeFinishedFeeds()
{
    std::vector<std::unique_ptr<SoundFeed>> finished;
    for (auto& feed : m_retired)
        if (feed->readerDone())
            finished.push_back(std::move(feed));
    std::erase(m_retired, nullptr);
    return finished;
}

} // namespace vortan
