// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sound/pcm_wav.h"
#include "sound/pulse_connection.h"
#include "sound/sound_player.h"

#include <chrono>
#include <memory>
#include <vector>

struct pa_io_event;
struct pa_operation;
struct pa_stream;
struct pa_sample_spec;

namespace vortan {

class SoundFeed;

// Plays WAV files on the sound server's default sink, streamed from the file as the server asks
// for samples: a reader thread keeps a small buffer filled ahead, so any length starts at once
// and needs no more memory than that buffer. One sound at a time.
class PulsePlayer final : public SoundPlayer, private PulseConnection::Client {
public:
    explicit PulsePlayer(PulseConnection& connection);
    ~PulsePlayer() override;

    PulsePlayer(const PulsePlayer&) = delete;
    PulsePlayer& operator=(const PulsePlayer&) = delete;

    // Waits at most serverLimit for a connection, and as long again for the server to take the
    // stream; the samples are read on the reader thread, never here. Throws vortan::Error with
    // noServerMessage when no server answers or it refuses the stream.
    void play(const std::filesystem::path& wavFile, const PlaybackLeadIn& leadIn = {}) override;
    void playWhileWritten(std::shared_ptr<const GrowingFile> wavFile,
                          const PlaybackLeadIn& leadIn = {}) override;
    void stop() override;
    std::optional<std::int64_t> heardFrame() const override;
    // Called on the sound server's thread, with the connection's lock held.
    void setSoundLostHandler(SoundLostHandler handler) override;

    // True from play() until the sound has been played out or stopped.
    bool isPlaying() const;

    static constexpr const char* noServerMessage =
        "No sound output: the sound server (PulseAudio or PipeWire) cannot be reached";
    static constexpr const char* soundLostMessage =
        "The sound stopped: the sound server (PulseAudio or PipeWire) went away";
    static constexpr std::chrono::milliseconds serverLimit{2000};

private:
    struct Callbacks; // libpulse's callbacks, in the source
    friend Callbacks;

    void connected(pa_context*) override {}
    void disconnected() override;
    void serverEvent(unsigned, std::uint32_t) override {}

    // Streams the samples of the open file `fd` (taken) after the lead-in; returns once the
    // server has taken the stream.
    void start(int fd, const PcmWavLayout& layout, const pa_sample_spec& sampleFormat,
               const PlaybackLeadIn& leadIn, std::shared_ptr<const GrowingFile> growing);
    // The stream ended without our asking: the server went away. Says so once.
    void soundLost();
    // Gives the server what it asks for, as far as the feed has it; drains at the end.
    void pump();
    // Disconnecting removes the stream from the server together with all it still buffers, so
    // the sound stops at once rather than after the buffer drains.
    void releaseStream();
    // The retired feeds whose reader is done, to be destroyed (a join that waits for nothing)
    // without the lock.
    std::vector<std::unique_ptr<SoundFeed>> takeFinishedFeeds();

    enum class Start { Waiting, Ready, Failed };

    PulseConnection& m_connection;
    int m_wakeFd = -1; // the reader thread's nudge: samples came after the server ran short
    // Under the connection's lock:
    pa_io_event* m_wakeEvent = nullptr;
    pa_stream* m_stream = nullptr;
    pa_operation* m_drain = nullptr;
    Start m_start = Start::Failed;
    std::int64_t m_leadInFrames = 0; // of the current sound
    std::uint32_t m_frameRate = 0;
    bool m_widen = false; // 8-bit samples, sent as 16-bit
    std::unique_ptr<SoundFeed> m_feed;
    SoundLostHandler m_soundLost;
    // Feeds of sounds that ended; the next play() or stop() drops those whose reader is done.
    std::vector<std::unique_ptr<SoundFeed>> m_retired;
};

} // namespace vortan
