// SPDX-License-Identifier: GPL-3.0-or-later
// How long the settings file takes at start (read) and at close (write).
#include "settings/options_store.h"
#include "settings/profile_file.h"
#include "settings/settings_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace vortan;
namespace fs = std::filesystem;

namespace {

// A settings file in a private folder, removed at the end.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& bytes)
    {
        std::string pattern = (fs::temp_directory_path() / "vortan-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        m_folder = pattern;
        std::ofstream(path(), std::ios::binary) << bytes;
    }
    ~ScratchFile() { fs::remove_all(m_folder); }
    fs::path path() const { return m_folder / "vortan.ini"; }

private:
    fs::path m_folder;
};

std::string firstRunFile()
{
    const ScratchFile scratch("");
    Presets presets;
    presets.fill(defaultPreset());
    Zapisz1Click(scratch.path(), presets, Presets{}, OptionsStore{});
    return readRegularFile(scratch.path(), kMaxProfileFileBytes).bytes;
}

// Foreign lines filling the file up to its size limit, the presets last.
std::string largestReadableFile()
{
    std::string bytes = "[notes]\r\n";
    const std::string settings = firstRunFile();
    for (int line = 0; bytes.size() + settings.size() + 32 < 1024 * 1024; ++line)
        bytes += "note" + std::to_string(line) + "=some words of text\r\n";
    return bytes + settings;
}

void readFirstRunFile(benchmark::State& state)
{
    const ScratchFile scratch(firstRunFile());
    Presets presets;
    OptionsStore options;
    for (auto _ : state) {
        Odczytaj1Click(scratch.path(), presets, options);
        benchmark::DoNotOptimize(presets);
    }
}
BENCHMARK(readFirstRunFile);

void readLargestFile(benchmark::State& state)
{
    const ScratchFile scratch(largestReadableFile());
    Presets presets;
    OptionsStore options;
    for (auto _ : state) {
        Odczytaj1Click(scratch.path(), presets, options);
        benchmark::DoNotOptimize(presets);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(scratch.path())));
}
BENCHMARK(readLargestFile)->Unit(benchmark::kMillisecond);

// Includes flushing the new file to disk, so it measures the disk as much as the code.
void writeFirstRunFile(benchmark::State& state)
{
    const ScratchFile scratch(firstRunFile());
    Presets presets;
    presets.fill(defaultPreset());
    const OptionsStore options;
    for (auto _ : state) // every key written, as into a new file
        Zapisz1Click(scratch.path(), presets, Presets{}, options);
}
BENCHMARK(writeFirstRunFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
