#pragma once

// Helpers for tests against a real PulseAudio server: a private server of the test's own,
// a recorder of a sink's monitor, tone analysis and WAV files.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct pa_simple;

namespace vortan::testing {

// True when the environment demands every service (CI): a missing one is then a failure.
bool servicesRequired();
// Output of a shell command (stdout), empty when it fails.
std::string run(const std::string& command);
// The shared test server (scripts/test-services.sh) answers.
bool sharedServerRunning();

// A PulseAudio server of our own with one null sink "psink", in a private runtime directory, so
// tests can stop it or fill its sink without disturbing anyone.
class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();
    bool start();
    void stop();
    const std::string& address() const { return m_address; } // for PULSE_SERVER
    std::string pactl(const std::string& arguments) const;

private:
    std::string environment() const;
    std::filesystem::path m_directory;
    std::string m_address;
};

// Records a monitor source as 16-bit mono at 11025 Hz on a thread of its own.
class Recorder {
public:
    static constexpr int sampleRate = 11025;
    Recorder(const std::string& server, const std::string& source);
    ~Recorder();
    bool ok() const { return m_ok; }
    std::size_t position() const; // samples recorded so far
    // Samples from `from` on, waiting until `count` of them are there.
    std::vector<std::int16_t> samples(std::size_t from, std::size_t count) const;

private:
    void loop();
    ::pa_simple* m_simple = nullptr;
    bool m_ok = false;
    bool m_stop = false;
    mutable std::mutex m_mutex;
    std::vector<std::int16_t> m_samples;
    std::thread m_thread;
};

// Power of one frequency in a signal (Goertzel), and its loudness.
double tonePower(const std::vector<std::int16_t>& samples, double hz, int sampleRate);
double rms(const std::vector<std::int16_t>& samples);
// Frequency from the count of upward zero crossings.
double zeroCrossingHz(const std::vector<std::int16_t>& samples, int sampleRate);

// An 8-bit unsigned mono 11025 Hz sine WAV with the 44-byte header.
void writeToneWav(const std::filesystem::path& file, double hz, double seconds);

} // namespace vortan::testing
