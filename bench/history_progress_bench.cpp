// SPDX-License-Identifier: GPL-3.0-or-later
// What the progress view reads when it opens, from a long history: 10 000 or 50 000 checks of
// five 30-character lines each (about 150 characters sent), 5 to 10 % of them wrong, missed or
// extra, one every 1.75 hours (two or ten years) through the progression's sets. Each run opens
// the file anew, as the view does: the figures, the set filter's list and the practice advice.
// The anchor, in the same run: the same figures counted from every check's outcomes (a date
// range over all days), as the view did before the history kept sums.
//
// The histories are made once in $VORTAN_BENCH_DIR (or the system's temporary folder) and kept
// for later runs; the 50 000 takes minutes. Run with --benchmark_repetitions=N for medians.
//
// Then the upgrade from the second schema version: all 10 000 checks scored again.

#include "history/history_store.h"
#include "history/local_days.h"
#include "history/practice_advice_reader.h"
#include "settings/character_sets.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>

namespace {

std::filesystem::path historyFile(int checks)
{
    const char* folder = std::getenv("VORTAN_BENCH_DIR");
    // A folder of its own: the store refuses a shared one such as /tmp.
    return std::filesystem::path(folder ? folder : std::filesystem::temp_directory_path()) /
           "vortan-bench" / ("history-v4-" + std::to_string(checks) + ".sqlite");
}

vortan::CopyCheck randomCheck(std::mt19937& random, int index, int checks)
{
    const std::size_t setIndex = vortan::kFirstProgressionSet + std::size_t(index) * 20 / checks;
    const std::string_view set = vortan::kCharacterSets[setIndex];
    vortan::SentExercise sent;
    sent.characterSet = std::string(set);
    sent.settings.speed = 60 + static_cast<int>(random() % 60);
    sent.settings.spaces = static_cast<int>(random() % 4);
    sent.sentAtMs = 1'450'000'000'000 + std::int64_t{index} * 6'300'000; // 1.75 h apart
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

void makeHistoryOnce(int checks)
{
    const std::filesystem::path file = historyFile(checks);
    if (std::filesystem::exists(file) && vortan::HistoryStore(file).checkCount() == checks)
        return;
    std::filesystem::remove(file);
    vortan::HistoryStore store(file);
    std::mt19937 random(42);
    for (int index = 0; index < checks; ++index)
        store.addCheck(randomCheck(random, index, checks));
}

double maxResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// range(0): checks; range(1): 0 all sets, 1 one set, 2 all sets counted from every check.
void BM_ProgressView(benchmark::State& state)
{
    const int checks = static_cast<int>(state.range(0));
    makeHistoryOnce(checks);
    vortan::ProgressFilter filter;
    if (state.range(1) == 1)
        filter.characterSet = std::string(vortan::kCharacterSets[14]);
    if (state.range(1) == 2)
        filter.fromDay = 0;
    const std::string currentSet(vortan::kCharacterSets[14]);
    const std::int64_t today =
        vortan::localDay(1'450'000'000'000 + std::int64_t{checks} * 6'300'000);
    std::size_t points = 0;
    for (auto _ : state) {
        vortan::HistoryStore store(historyFile(checks));
        const vortan::ProgressData data = store.progress(filter);
        const std::vector<std::string> sets = store.characterSets();
        const std::string advice = vortan::practiceAdviceFor(store, currentSet, today);
        benchmark::DoNotOptimize(sets.data());
        benchmark::DoNotOptimize(advice.data());
        points = data.days.size();
    }
    state.counters["days_shown"] = static_cast<double>(points);
    state.counters["max_rss_mb"] = maxResidentMegabytes();
}

// What the first use costs with a long history: opening the file and one small read.
void BM_OpenLongHistory(benchmark::State& state)
{
    const int checks = static_cast<int>(state.range(0));
    makeHistoryOnce(checks);
    for (auto _ : state) {
        vortan::HistoryStore store(historyFile(checks));
        benchmark::DoNotOptimize(store.advanceThresholdPercent());
    }
}

// The long history as the second schema version left it, in a file of its own.
std::filesystem::path versionTwoCopy()
{
    const std::filesystem::path copy = historyFile(10000).parent_path() / "history-10000-v2.sqlite";
    std::filesystem::copy_file(historyFile(10000), copy,
                               std::filesystem::copy_options::overwrite_existing);
    {
        QSqlDatabase database =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        database.setDatabaseName(QString::fromStdString(copy.string()));
        // Undo what the later steps added, so that the upgrade takes each of them again.
        const char* const steps[] = {
            "ALTER TABLE checks DROP COLUMN conditions",
            "DROP TABLE check_days",
            "DROP TABLE outcome_totals",
            "DROP TABLE character_days",
            "DROP INDEX checks_by_set",
            "PRAGMA user_version = 2",
        };
        if (!database.open())
            std::abort();
        for (const char* step : steps) {
            if (!QSqlQuery(database).exec(QString::fromLatin1(step)))
                std::abort();
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return copy;
}

void BM_UpgradeScoresEveryCheckAgain(benchmark::State& state)
{
    makeHistoryOnce(10000);
    for (auto _ : state) {
        state.PauseTiming();
        const std::filesystem::path copy = versionTwoCopy();
        state.ResumeTiming();
        vortan::HistoryStore store(copy);
        benchmark::DoNotOptimize(store.checkCount());
    }
    state.counters["checks"] = 10000;
}

} // namespace

BENCHMARK(BM_UpgradeScoresEveryCheckAgain)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenLongHistory)
    ->ArgName("checks")
    ->Arg(10000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgressView)
    ->ArgNames({"checks", "view"})
    ->ArgsProduct({{10000, 50000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
