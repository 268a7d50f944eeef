// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers for tests against a real sound server (PulseAudio, or PipeWire's PulseAudio service),
// through its command-line tools.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <mutex>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vortan::testing {

// True when the environment demands every service (CI): a missing one is then a failure.
inline bool servicesRequired()
{
    const char* value = std::getenv("VORTAN_REQUIRE_SERVICES");
    return value && std::string(value) == "1";
}

// Output of a shell command, empty when it fails.
inline std::string run(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, n);
        if (pclose(pipe) != 0)
            output.clear();
    }
    return output;
}

// The kind of server the test services run, and so the kind a test starts for itself:
// "pulseaudio" or "pipewire".
inline std::string soundServerKind()
{
    const char* kind = std::getenv("VORTAN_SOUND_SERVER");
    return kind && *kind ? kind : "pulseaudio";
}

// A sine WAV as the program writes them: 8-bit unsigned mono at 11025 Hz.
inline void writeToneWav(const std::filesystem::path& file, int hz, double seconds)
{
    run("sox -n -r 11025 -b 8 -e unsigned-integer -c 1 '" + file.string() + "' synth " +
        std::to_string(seconds) + " sine " + std::to_string(hz) + " vol 0.8");
}

// Loudness (RMS, 16-bit scale) and pitch (periods per second) of samples at 11025 Hz. A period
// ends where the sound rises past half its RMS after having been below minus that, so the
// ripple of a resampled quiet sound about zero counts nothing.
inline std::pair<double, double> loudnessAndPitch(const std::vector<std::int16_t>& samples)
{
    const double n = double(samples.size());
    double sum = 0;
    for (const std::int16_t sample : samples)
        sum += double(sample) * sample;
    const double rms = n ? std::sqrt(sum / n) : 0;
    int periods = 0;
    bool below = false;
    for (const std::int16_t sample : samples) {
        if (sample < -rms / 2) {
            below = true;
        } else if (below && sample > rms / 2) {
            below = false;
            ++periods;
        }
    }
    return {rms, periods * 11025.0 / std::max(n, 1.0)};
}

// What a sink plays, recorded through its monitor by parec from construction on: the left
// channel, 16-bit at 11025 Hz. Recorded in stereo: PipeWire mixes a mono recording from both
// channels and clips.
class MonitorRecording {
public:
    // `prefix`: what parec runs under (for example env with the server's address).
    MonitorRecording(std::vector<std::string> prefix, const std::string& source)
    {
        for (const char* argument : {"parec", "--raw", "--format=s16le", "--rate=11025",
                                     "--channels=2", "--latency-msec=10", "-d"})
            prefix.push_back(argument);
        prefix.push_back(source);
        std::vector<char*> argv;
        for (std::string& argument : prefix)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int pipeEnds[2];
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        if (posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[1]);
        m_reader = std::thread([this, fd = pipeEnds[0]] {
            char buffer[4096];
            std::string pending;
            for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) {
                pending.append(buffer, std::size_t(got));
                std::lock_guard lock(m_mutex);
                for (std::size_t at = 0; at + 4 <= pending.size(); at += 4)
                    m_left.push_back(static_cast<std::int16_t>(std::uint8_t(pending[at]) |
                                                               std::uint8_t(pending[at + 1]) << 8));
                pending.erase(0, pending.size() / 4 * 4);
                m_arrived.notify_all();
            }
            ::close(fd);
        });
    }
    ~MonitorRecording()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_reader.joinable())
            m_reader.join();
    }
    MonitorRecording(const MonitorRecording&) = delete;
    MonitorRecording& operator=(const MonitorRecording&) = delete;

    // Waits until the recording runs (the first samples came), so that from now on nothing the
    // sink plays is missed. False after 10 s without samples.
    bool started()
    {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, std::chrono::seconds(10),
                                  [this] { return !m_left.empty(); });
    }
    // The samples recorded so far (once it is running): a mark to take the recording from, set
    // before an action so that what the action sounds cannot fall before it, however late the
    // test gets to read.
    std::size_t position()
    {
        if (!started())
            return 0;
        std::lock_guard lock(m_mutex);
        return m_left.size();
    }
    // The next `seconds` of the recording after what came so far (once it is running).
    std::vector<std::int16_t> next(double seconds) { return from(position(), seconds); }
    // `seconds` of the recording from the mark `from`, waiting for them as needed.
    std::vector<std::int16_t> from(std::size_t from, double seconds)
    {
        if (!started())
            return {};
        std::unique_lock lock(m_mutex);
        const auto until = from + static_cast<std::size_t>(seconds * 11025);
        m_arrived.wait_for(lock, std::chrono::duration<double>(seconds + 10),
                           [&] { return m_left.size() >= until; });
        return {m_left.begin() + long(from), m_left.begin() + long(std::min(until, m_left.size()))};
    }

private:
    pid_t m_pid = -1;
    std::thread m_reader;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<std::int16_t> m_left;
};

// A sound server of our own (the kind the test services run) with a null sink "psink", to stop
// or listen to undisturbed. Started by scripts/sound-server.sh.
class PrivateServer {
public:
    ~PrivateServer()
    {
        stop();
        std::error_code ignored;
        std::filesystem::remove_all(m_directory, ignored);
    }
    std::string address() const { return "unix:" + m_directory + "/pulse/native"; }
    std::string pactl(const std::string& arguments) const
    {
        return run("env XDG_RUNTIME_DIR='" + m_directory + "' PULSE_SERVER='" + address() +
                   "' pactl " + arguments + " 2>/dev/null");
    }
    bool start() const // returns once the server is ready
    {
        return std::system((script() + " start " + soundServerKind() + " '" + m_directory +
                            "' psink >/dev/null 2>&1")
                               .c_str()) == 0;
    }
    void stop() const
    {
        std::system((script() + " stop '" + m_directory + "' >/dev/null 2>&1").c_str());
    }
    // Records the sink from now on (see MonitorRecording).
    std::unique_ptr<MonitorRecording> recording() const
    {
        return std::make_unique<MonitorRecording>(
            std::vector<std::string>{"env", "XDG_RUNTIME_DIR=" + m_directory,
                                     "PULSE_SERVER=" + address()},
            "psink.monitor");
    }

private:
    static std::string script() { return VORTAN_SCRIPTS_DIR "/sound-server.sh"; }
    char m_pattern[32] = "/tmp/vortan-pulse-XXXXXX";
    std::string m_directory = mkdtemp(m_pattern) ? m_pattern : "";
};

} // namespace vortan::testing
