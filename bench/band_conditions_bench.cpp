// SPDX-License-Identifier: GPL-3.0-or-later
// Rendering with every band condition on against the plain rendering of the same text, in the
// same run: the conditions must keep at least a quarter of the plain throughput.
//
// Both write into $VORTAN_BENCH_DIR, or the system's temporary folder. Run with
// --benchmark_repetitions=N and compare the medians' bytes per second.

#include "synthesis/synthesizer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

std::filesystem::path benchFile()
{
    const char* folder = std::getenv("VORTAN_BENCH_DIR");
    return std::filesystem::path(folder ? folder : std::filesystem::temp_directory_path()) /
           "vortan-bench-conditions.wav";
}

// 2 KB of five-letter groups at speed 100: about 19 MB of samples.
const std::string& exerciseText()
{
    static const std::string text = [] {
        vortan::RandomGenerator random;
        std::string result;
        while (result.size() < 2048) {
            for (int i = 0; i < 5; ++i)
                result.push_back(static_cast<char>('a' + random.nextBelow(26)));
            result.push_back(' ');
        }
        return result;
    }();
    return text;
}

vortan::BandConditions everyCondition()
{
    vortan::BandConditions conditions;
    conditions.qsbRate = 0.5;
    conditions.qsbDepthDb = 20;
    conditions.qrm = {{250, -6, 0}, {-400, -12, 0}, {120, -20, 150}};
    conditions.qrnRate = 3;
    conditions.qrnLevelDb = 0;
    conditions.chirpHz = 60;
    return conditions;
}

void render(benchmark::State& state, const vortan::BandConditions& conditions)
{
    vortan::RandomGenerator random;
    const vortan::FixedClock clock(0);
    auto synthesizer = std::make_unique<vortan::Synthesizer>(random, clock);
    synthesizer->setBandConditions(conditions);
    const vortan::SynthesisSettings settings{.speed = 100, .noise = 10};
    const auto file = benchFile();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        // A new file each time, the old one's blocks freed outside the timing.
        state.PauseTiming();
        std::filesystem::remove(file);
        state.ResumeTiming();
        synthesizer->txtofile(file, exerciseText(), settings, 5);
        bytes += static_cast<std::int64_t>(std::filesystem::file_size(file));
    }
    state.SetBytesProcessed(bytes);
    std::filesystem::remove(file);
}

void BM_RenderPlain(benchmark::State& state)
{
    render(state, {});
}

void BM_RenderEveryCondition(benchmark::State& state)
{
    render(state, everyCondition());
}

} // namespace

BENCHMARK(BM_RenderPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderEveryCondition)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
