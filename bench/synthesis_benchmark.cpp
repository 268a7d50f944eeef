// SPDX-License-Identifier: GPL-3.0-or-later
// Rendering to a file against the cheapest way to put the same bytes there, and soft keying
// against hard keying.
//
// Both benchmarks write into one folder: $VORTAN_BENCH_DIR, or the system's temporary folder.
// Run with --benchmark_repetitions=N for medians; the ratio of the two is printed at the end.

#include "synthesis/keying.h"
#include "synthesis/morse_code.h"
#include "synthesis/synthesizer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

std::filesystem::path benchFolder()
{
    if (const char* folder = std::getenv("VORTAN_BENCH_DIR"))
        return folder;
    return std::filesystem::temp_directory_path();
}

// 20 KB of random five-character groups from the program's default character set.
const std::string& exerciseText()
{
    static const std::string text = [] {
        const std::string_view chars = "abcdefghijklmnopqrstuvwxyz0123456789/=?!";
        vortan::RandomGenerator random;
        std::string result;
        while (result.size() < 20 * 1024) {
            for (int i = 0; i < 5; ++i)
                result.push_back(chars[random.nextBelow(static_cast<std::uint32_t>(chars.size()))]);
            result.push_back(' ');
        }
        return result;
    }();
    return text;
}

constexpr vortan::SynthesisSettings settings{.speed = 60};

std::int64_t fileByteCount()
{
    const int dotlen = vortan::dotLength(settings.speed);
    return 44 + vortan::trsize(vortan::txtotr(exerciseText()), dotlen, 3 * dotlen, settings.spaces);
}

// Both cases create a new file each time: freeing the last run's blocks (and ext4's flush when
// a file is truncated and rewritten) would otherwise swamp what is measured.
void removeOutsideTiming(benchmark::State& state, const std::filesystem::path& file)
{
    state.PauseTiming();
    std::filesystem::remove(file);
    state.ResumeTiming();
}

void BM_RenderRandomGroups(benchmark::State& state)
{
    vortan::RandomGenerator random;
    vortan::FixedClock clock(0);
    auto synthesizer = std::make_unique<vortan::Synthesizer>(random, clock);
    const auto file = benchFolder() / "vortan-bench-render.wav";
    for (auto _ : state) {
        removeOutsideTiming(state, file);
        synthesizer->txtofile(file, exerciseText(), settings);
    }
    state.SetBytesProcessed(state.iterations() * fileByteCount());
    std::filesystem::remove(file);
}

const std::vector<char>& readyBytes()
{
    // Kept for the whole run: the first pass over freshly mapped memory costs several times a
    // later one, which would flatter the render.
    static const std::vector<char> bytes(static_cast<std::size_t>(fileByteCount()), '\x80');
    return bytes;
}

// Writes the ready bytes into a new file in writes of `chunk` bytes; false on failure.
bool plainWrite(const std::filesystem::path& file, std::size_t chunk)
{
    const std::vector<char>& bytes = readyBytes();
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    std::size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t written =
            ::write(fd, bytes.data() + done, std::min(chunk, bytes.size() - done));
        if (written <= 0)
            break;
        done += static_cast<std::size_t>(written);
    }
    const bool closed = fd >= 0 && ::close(fd) == 0;
    return closed && done == bytes.size();
}

void BM_PlainWriteOfTheSameBytes(benchmark::State& state)
{
    const auto file = benchFolder() / "vortan-bench-plain.wav";
    const auto chunk = state.range(0) > 0 ? static_cast<std::size_t>(state.range(0)) : SIZE_MAX;
    for (auto _ : state) {
        removeOutsideTiming(state, file);
        if (!plainWrite(file, chunk))
            state.SkipWithError("plain write failed");
    }
    state.SetBytesProcessed(state.iterations() * fileByteCount());
    std::filesystem::remove(file);
}

// Both in turn within every iteration, so that the load of a shared machine falls on both
// alike; the counters are per-iteration means and their ratio.
void BM_RenderAgainstPlainWrite(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    vortan::RandomGenerator random;
    vortan::FixedClock clock(0);
    auto synthesizer = std::make_unique<vortan::Synthesizer>(random, clock);
    const auto rendered = benchFolder() / "vortan-bench-render.wav";
    const auto plain = benchFolder() / "vortan-bench-plain.wav";
    Clock::duration renderTime{};
    Clock::duration plainTime{};
    for (auto _ : state) {
        removeOutsideTiming(state, rendered);
        removeOutsideTiming(state, plain);
        const auto start = Clock::now();
        synthesizer->txtofile(rendered, exerciseText(), settings);
        const auto middle = Clock::now();
        if (!plainWrite(plain, 256 << 10))
            state.SkipWithError("plain write failed");
        plainTime += Clock::now() - middle;
        renderTime += middle - start;
    }
    const auto ms = [&state](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / state.iterations();
    };
    state.counters["render_ms"] = ms(renderTime);
    state.counters["plain_ms"] = ms(plainTime);
    state.counters["ratio"] = ms(renderTime) / ms(plainTime);
    std::filesystem::remove(rendered);
    std::filesystem::remove(plain);
}

// Soft keying at 5 ms against hard keying, in turn within every iteration as above. Argument 0
// renders into files, 1 into /dev/null, which leaves the synthesis alone to be measured.
void BM_SoftAgainstHardKeying(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    vortan::RandomGenerator random;
    vortan::FixedClock clock(0);
    auto synthesizer = std::make_unique<vortan::Synthesizer>(random, clock);
    const bool toNull = state.range(0) == 1;
    const auto hardFile = toNull ? "/dev/null" : benchFolder() / "vortan-bench-hard.wav";
    const auto softFile = toNull ? "/dev/null" : benchFolder() / "vortan-bench-soft.wav";
    Clock::duration hardTime{};
    Clock::duration softTime{};
    int iteration = 0;
    for (auto _ : state) {
        if (!toNull) {
            removeOutsideTiming(state, hardFile);
            removeOutsideTiming(state, softFile);
        }
        // Turn about, so that neither always meets the other's writes still going to disk.
        const bool softFirst = (iteration++ % 2) == 1;
        const auto start = Clock::now();
        synthesizer->txtofile(softFirst ? softFile : hardFile, exerciseText(), settings,
                              softFirst ? 5 : 0);
        const auto middle = Clock::now();
        synthesizer->txtofile(softFirst ? hardFile : softFile, exerciseText(), settings,
                              softFirst ? 0 : 5);
        const auto end = Clock::now();
        (softFirst ? softTime : hardTime) += middle - start;
        (softFirst ? hardTime : softTime) += end - middle;
    }
    const auto ms = [&state](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / state.iterations();
    };
    state.counters["hard_ms"] = ms(hardTime);
    state.counters["soft_ms"] = ms(softTime);
    state.counters["ratio"] = ms(softTime) / ms(hardTime);
    if (!toNull) {
        std::filesystem::remove(hardFile);
        std::filesystem::remove(softFile);
    }
}

BENCHMARK(BM_RenderRandomGroups)->Unit(benchmark::kMillisecond)->MinWarmUpTime(1.0)->UseRealTime();
// Write sizes of the plain write, 0 being all at once (which Linux does slowest of all here).
BENCHMARK(BM_PlainWriteOfTheSameBytes)
    ->Unit(benchmark::kMillisecond)
    ->MinWarmUpTime(1.0)
    ->UseRealTime()
    ->ArgName("chunk")
    ->Arg(64 << 10)
    ->Arg(256 << 10)
    ->Arg(1 << 20)
    ->Arg(16 << 20)
    ->Arg(0);
BENCHMARK(BM_RenderAgainstPlainWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_SoftAgainstHardKeying)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime()
    ->ArgName("null")
    ->Arg(0)
    ->Arg(1);

// Prints the render's median (or single run) over the one-call plain write's, after the table.
// Separate runs drift with the machine's load; the interleaved benchmark's ratio is steadier.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter()
        : ConsoleReporter(OO_Tabular)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median) {
                const std::string name = run.run_name.str();
                if (median || !m_medians.count(name))
                    m_medians[name] = run.GetAdjustedRealTime();
                if (median)
                    m_fromMedian = true;
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto find = [this](std::string_view prefix) -> const double* {
            for (const auto& [name, time] : m_medians) {
                if (name.starts_with(prefix))
                    return &time;
            }
            return nullptr;
        };
        const double* render = find("BM_RenderRandomGroups");
        const double* plain = find("BM_PlainWriteOfTheSameBytes/chunk:0/");
        if (render != nullptr && plain != nullptr && *plain > 0) {
            std::printf("render / plain write in one call (%s): %.3f\n",
                        m_fromMedian ? "medians" : "single runs", *render / *plain);
        }
    }

private:
    std::map<std::string, double> m_medians;
    bool m_fromMedian = false;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
