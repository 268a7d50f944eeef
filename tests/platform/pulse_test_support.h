#pragma once

// Helpers for tests against a real PulseAudio server.

#include <pulse/simple.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <thread>
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

inline bool sharedServerRunning()
{
    return std::getenv("PULSE_SERVER") && !run("pactl info 2>/dev/null").empty();
}

// A PulseAudio server of our own with a null sink "psink", to stop or listen to undisturbed.
class PrivateServer {
public:
    PrivateServer() { m_directory = mkdtemp(m_pattern) ? m_pattern : ""; }
    ~PrivateServer()
    {
        stop();
        std::error_code ignored;
        std::filesystem::remove_all(m_directory, ignored);
    }
    std::string address() const { return "unix:" + m_directory + "/pulse/native"; }
    std::string pactl(const std::string& arguments) const
    {
        return run(environment() + "pactl " + arguments + " 2>/dev/null");
    }
    bool start() const
    {
        std::system((environment() + "pulseaudio -D -n --exit-idle-time=-1 2>/dev/null "
                                     "--load='module-null-sink sink_name=psink' "
                                     "--load=module-native-protocol-unix")
                        .c_str());
        if (!wait(true))
            return false;
        pactl("set-default-sink psink");
        return true;
    }
    void stop() const
    {
        std::system((environment() + "pulseaudio -k 2>/dev/null").c_str());
        wait(false);
    }

private:
    std::string environment() const
    {
        return "env XDG_RUNTIME_DIR='" + m_directory + "' PULSE_SERVER='" + address() + "' ";
    }
    bool wait(bool up) const
    {
        for (int attempt = 0; attempt < 100 && pactl("info").empty() == up; ++attempt)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return pactl("info").empty() != up;
    }
    char m_pattern[32] = "/tmp/vortan-pulse-XXXXXX";
    std::string m_directory;
};

// `seconds` of what `source` hears from now on, as 16-bit mono at 11025 Hz.
inline std::vector<std::int16_t> record(const std::string& server, const std::string& source,
                                        double seconds)
{
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, 11025, 1};
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.fragsize = 2 * 11025 / 100; // 10 ms: keeps the recording close to real time
    pa_simple* simple =
        pa_simple_new(server.c_str(), "vortan-test", PA_STREAM_RECORD, source.c_str(), "monitor",
                      &sampleFormat, nullptr, &attributes, nullptr);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * 11025));
    if (!simple || pa_simple_read(simple, samples.data(), samples.size() * 2, nullptr) < 0)
        samples.clear();
    if (simple)
        pa_simple_free(simple);
    return samples;
}

// Loudness, and the frequency from the count of upward zero crossings.
inline std::pair<double, double> rmsAndHz(const std::vector<std::int16_t>& samples)
{
    double sum = 0;
    int crossings = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        sum += double(samples[i]) * samples[i];
        crossings += i > 0 && samples[i - 1] < 0 && samples[i] >= 0;
    }
    const double n = std::max<double>(1, double(samples.size()));
    return {std::sqrt(sum / n), crossings * 11025.0 / n};
}

// An 8-bit unsigned mono 11025 Hz sine WAV with the 44-byte header.
inline void writeToneWav(const std::filesystem::path& file, double hz, double seconds)
{
    const auto count = static_cast<std::uint32_t>(seconds * 11025);
    std::string out("RIFF....WAVEfmt \x10\0\0\0\1\0\1\0\x11\x2b\0\0\x11\x2b\0\0\1\0\x08\0data....",
                    44);
    for (std::uint32_t i = 0; i < count; ++i)
        out.push_back(static_cast<char>(
            std::lround(128 + 100 * std::sin(2 * std::numbers::pi * hz * i / 11025))));
    for (int i = 0; i < 4; ++i) {
        out[4 + i] = static_cast<char>((36 + count) >> (8 * i));
        out[40 + i] = static_cast<char>(count >> (8 * i));
    }
    std::ofstream(file, std::ios::binary) << out;
}

} // namespace vortan::testing
