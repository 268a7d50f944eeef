// SPDX-License-Identifier: GPL-3.0-or-later
// The progress view's figures from a long history: 10 000 checks of five 30-character lines
// each (about 150 characters sent), 5 to 10 % of them wrong, missed or extra, over two years and
// the progression's sets. Each run opens the file anew, as the view does when it is opened.
//
// Then the upgrade from the second schema version: all 10 000 checks scored again.
//
// The history is made once in $VORTAN_BENCH_DIR (or the system's temporary folder) and kept
// for later runs. Run with --benchmark_repetitions=N for medians.

#include "history/history_store.h"
#include "settings/character_sets.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

constexpr int kChecks = 10000;

std::filesystem::path historyFile()
{
    const char* folder = std::getenv("VORTAN_BENCH_DIR");
    return std::filesystem::path(folder ? folder : std::filesystem::temp_directory_path()) /
           "vortan-bench-history-10000.sqlite";
}

vortan::CopyCheck randomCheck(std::mt19937& random, int index)
{
    const std::size_t setIndex = vortan::kFirstProgressionSet + index * 20 / kChecks;
    const std::string_view set = vortan::kCharacterSets[setIndex];
    vortan::SentExercise sent;
    sent.characterSet = std::string(set);
    sent.settings.speed = 60 + static_cast<int>(random() % 60);
    sent.settings.spaces = static_cast<int>(random() % 4);
    sent.sentAtMs = 1'650'000'000'000 + std::int64_t{index} * 6'300'000; // two years
    sent.text = "vvv =\r\n";
    std::string copy;
    const int errorPermille = 50 + static_cast<int>(random() % 51);
    for (int line = 0; line < 5; ++line) {
        for (int group = 0; group < 6; ++group) {
            for (int i = 0; i < 5; ++i) {
                const char c = set[random() % set.size()];
                sent.text += c;
                const int draw = static_cast<int>(random() % 1000);
                if (draw >= errorPermille)
                    copy += c;
                else if (draw < errorPermille / 2)
                    copy += set[random() % set.size()];
                else if (draw > errorPermille * 9 / 10)
                    copy += std::string{c, set[random() % set.size()]};
            }
            sent.text += ' ';
            copy += ' ';
        }
        sent.text += "\r\n";
    }
    return vortan::checkCopy(sent, copy, sent.sentAtMs + 60'000);
}

void makeHistoryOnce()
{
    const std::filesystem::path file = historyFile();
    if (std::filesystem::exists(file) && vortan::HistoryStore(file).checkCount() == kChecks)
        return;
    std::filesystem::remove(file);
    vortan::HistoryStore store(file);
    std::mt19937 random(42);
    for (int index = 0; index < kChecks; ++index)
        store.addCheck(randomCheck(random, index));
}

void BM_ProgressView(benchmark::State& state)
{
    makeHistoryOnce();
    const bool oneSet = state.range(0) != 0;
    vortan::ProgressFilter filter;
    if (oneSet)
        filter.characterSet = std::string(vortan::kCharacterSets[14]);
    std::size_t points = 0;
    for (auto _ : state) {
        vortan::HistoryStore store(historyFile());
        const vortan::ProgressData data = store.progress(filter);
        const std::vector<std::string> sets = store.characterSets();
        benchmark::DoNotOptimize(sets.data());
        points = data.checks.size();
    }
    state.counters["checks_shown"] = static_cast<double>(points);
}

// What the first use costs with a long history: opening the file and one small read.
void BM_OpenLongHistory(benchmark::State& state)
{
    makeHistoryOnce();
    for (auto _ : state) {
        vortan::HistoryStore store(historyFile());
        benchmark::DoNotOptimize(store.advanceThresholdPercent());
    }
}

// The long history as the second schema version left it, in a file of its own.
std::filesystem::path versionTwoCopy()
{
    const std::filesystem::path copy =
        historyFile().parent_path() / "vortan-bench-history-10000-v2.sqlite";
    std::filesystem::copy_file(historyFile(), copy,
                               std::filesystem::copy_options::overwrite_existing);
    {
        QSqlDatabase database =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        database.setDatabaseName(QString::fromStdString(copy.string()));
        if (!database.open() ||
            !QSqlQuery(database).exec(QStringLiteral("PRAGMA user_version = 2")))
            std::abort();
        database.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return copy;
}

void BM_UpgradeScoresEveryCheckAgain(benchmark::State& state)
{
    makeHistoryOnce();
    for (auto _ : state) {
        state.PauseTiming();
        const std::filesystem::path copy = versionTwoCopy();
        state.ResumeTiming();
        vortan::HistoryStore store(copy);
        benchmark::DoNotOptimize(store.checkCount());
    }
    state.counters["checks"] = kChecks;
}

} // namespace

BENCHMARK(BM_UpgradeScoresEveryCheckAgain)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenLongHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgressView)->ArgName("one_set")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
