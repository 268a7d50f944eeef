#include "pulse_test_support.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>

namespace vortan::testing {

bool servicesRequired()
{
    const char* value = std::getenv("VORTAN_REQUIRE_SERVICES");
    return value && std::string(value) == "1";
}

std::string run(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        if (pclose(pipe) != 0)
            output.clear();
    }
    return output;
}

bool sharedServerRunning()
{
    return std::getenv("PULSE_SERVER") && !run("pactl info 2>/dev/null").empty();
}

PrivateServer::PrivateServer()
{
    char pattern[] = "/tmp/vortan-pulse-XXXXXX";
    if (mkdtemp(pattern))
        m_directory = pattern;
    m_address = "unix:" + (m_directory / "pulse" / "native").string();
}

PrivateServer::~PrivateServer()
{
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(m_directory, ignored);
}

std::string PrivateServer::environment() const
{
    return "env XDG_RUNTIME_DIR='" + m_directory.string() + "' PULSE_SERVER='" + m_address + "' ";
}

bool PrivateServer::start()
{
    if (m_directory.empty() || run("command -v pulseaudio").empty())
        return false;
    std::system((environment() +
                 "pulseaudio -D -n --exit-idle-time=-1 --disallow-exit=no "
                 "--load='module-null-sink sink_name=psink' --load=module-native-protocol-unix "
                 "--log-target=file:'" +
                 (m_directory / "pulseaudio.log").string() + "'")
                    .c_str());
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (!pactl("info").empty()) {
            pactl("set-default-sink psink");
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void PrivateServer::stop()
{
    if (m_directory.empty())
        return;
    std::system((environment() + "pulseaudio -k 2>/dev/null").c_str());
    for (int attempt = 0; attempt < 100 && !pactl("info").empty(); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

std::string PrivateServer::pactl(const std::string& arguments) const
{
    return run(environment() + "pactl " + arguments + " 2>/dev/null");
}

Recorder::Recorder(const std::string& server, const std::string& source)
{
    const pa_sample_spec spec{PA_SAMPLE_S16LE, sampleRate, 1};
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.fragsize = 2 * sampleRate / 100; // 10 ms: keeps the recording close to real time
    int error = 0;
    m_simple = pa_simple_new(server.c_str(), "vortan-test", PA_STREAM_RECORD, source.c_str(),
                             "monitor", &spec, nullptr, &attributes, &error);
    m_ok = m_simple != nullptr;
    if (m_ok)
        m_thread = std::thread([this] { loop(); });
}

Recorder::~Recorder()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_simple)
        pa_simple_free(m_simple);
}

void Recorder::loop()
{
    std::vector<std::int16_t> chunk(sampleRate / 100);
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                return;
        }
        int error = 0;
        if (pa_simple_read(m_simple, chunk.data(), chunk.size() * 2, &error) < 0)
            return;
        std::lock_guard lock(m_mutex);
        m_samples.insert(m_samples.end(), chunk.begin(), chunk.end());
    }
}

std::size_t Recorder::position() const
{
    std::lock_guard lock(m_mutex);
    return m_samples.size();
}

std::vector<std::int16_t> Recorder::samples(std::size_t from, std::size_t count) const
{
    for (int wait = 0; wait < 1000; ++wait) {
        {
            std::lock_guard lock(m_mutex);
            if (m_samples.size() >= from + count)
                return {m_samples.begin() + static_cast<std::ptrdiff_t>(from),
                        m_samples.begin() + static_cast<std::ptrdiff_t>(from + count)};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

double tonePower(const std::vector<std::int16_t>& samples, double hz, int sampleRate)
{
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * hz / sampleRate);
    double previous = 0;
    double beforePrevious = 0;
    for (const std::int16_t sample : samples) {
        const double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious -
           coefficient * previous * beforePrevious;
}

double rms(const std::vector<std::int16_t>& samples)
{
    double sum = 0;
    for (const std::int16_t sample : samples)
        sum += double(sample) * sample;
    return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

double zeroCrossingHz(const std::vector<std::int16_t>& samples, int sampleRate)
{
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        crossings += samples[i - 1] < 0 && samples[i] >= 0;
    return samples.empty() ? 0 : crossings * double(sampleRate) / double(samples.size());
}

void writeToneWav(const std::filesystem::path& file, double hz, double seconds)
{
    const auto count = static_cast<std::uint32_t>(seconds * 11025);
    std::vector<std::uint8_t> out;
    auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto put16 = [&](std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto putId = [&](const char* id) { out.insert(out.end(), id, id + 4); };
    putId("RIFF");
    put32(36 + count);
    putId("WAVE");
    putId("fmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(11025);
    put32(11025);
    put16(1);
    put16(8);
    putId("data");
    put32(count);
    for (std::uint32_t i = 0; i < count; ++i)
        out.push_back(static_cast<std::uint8_t>(
            std::lround(128 + 100 * std::sin(2 * std::numbers::pi * hz * i / 11025))));
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

} // namespace vortan::testing
