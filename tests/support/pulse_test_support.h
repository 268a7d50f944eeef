#pragma once

// Helpers for tests against a real PulseAudio server, through its command-line tools.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

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

// A sine WAV as the program writes them: 8-bit unsigned mono at 11025 Hz.
inline void writeToneWav(const std::filesystem::path& file, int hz, double seconds)
{
    run("sox -n -r 11025 -b 8 -e unsigned-integer -c 1 '" + file.string() + "' synth " +
        std::to_string(seconds) + " sine " + std::to_string(hz) + " vol 0.8");
}

// A PulseAudio server of our own with a null sink "psink", to stop or listen to undisturbed.
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
        return run(environment() + "pactl " + arguments + " 2>/dev/null");
    }
    bool start() const // returns once the server is ready
    {
        return std::system((environment() + "pulseaudio -D -n --exit-idle-time=-1 2>/dev/null "
                                            "--load='module-null-sink sink_name=psink' "
                                            "--load=module-native-protocol-unix")
                               .c_str()) == 0;
    }
    void stop() const
    {
        std::system((environment() + "sh -c 'pulseaudio -k; while pulseaudio --check; do sleep "
                                     "0.05; done' 2>/dev/null")
                        .c_str());
    }
    // Loudness and pitch (upward zero crossings) of one second of what the sink plays from now.
    std::pair<double, double> listen() const
    {
        const std::string raw =
            run(environment() + "parec --raw --format=s16le --rate=11025 --channels=1 "
                                "--latency-msec=10 -d psink.monitor 2>/dev/null | head -c 22050");
        const auto* samples = reinterpret_cast<const std::int16_t*>(raw.data());
        const double n = double(raw.size() / 2);
        double sum = 0;
        int crossings = 0;
        for (std::size_t i = 0; i < raw.size() / 2; ++i) {
            sum += double(samples[i]) * samples[i];
            crossings += i > 0 && samples[i - 1] < 0 && samples[i] >= 0;
        }
        return {n ? std::sqrt(sum / n) : 0, crossings * 11025.0 / std::max(n, 1.0)};
    }

private:
    std::string environment() const
    {
        return "env XDG_RUNTIME_DIR='" + m_directory + "' PULSE_SERVER='" + address() + "' ";
    }
    char m_pattern[32] = "/tmp/vortan-pulse-XXXXXX";
    std::string m_directory = mkdtemp(m_pattern) ? m_pattern : "";
};

} // namespace vortan::testing
