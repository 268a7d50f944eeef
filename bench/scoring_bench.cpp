// SPDX-License-Identifier: GPL-3.0-or-later
// Scoring a long copy: 5 000 characters of five-letter groups against copies with no errors,
// with 5 % and with 10 % of the characters wrong, missed or extra (and now and then a whole
// group lost), as a tired learner's copy looks. Run with --benchmark_repetitions=N for medians.
// Then a pasted megabyte: against the usual 24-character sending (refused, as far longer than
// what was sent) and against a megabyte sending with 1 % and 10 % errors; with the peak
// resident memory of the process after each.

#include "base/errors.h"
#include "scoring/copy_score.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <sys/resource.h>

namespace {

constexpr std::string_view kChars = "abcdefghijklmnopqrstuvwxyz0123456789/=?!";

std::string sentText(std::mt19937& random)
{
    std::string text = "vvv =\r\n";
    for (int group = 0; text.size() < 5000; ++group) {
        for (int i = 0; i < 5; ++i)
            text += kChars[random() % kChars.size()];
        text += (group % 6 == 5) ? "\r\n" : " ";
    }
    return text;
}

std::string copyWithErrors(std::mt19937& random, const std::string& sent, int errorPercent)
{
    std::uniform_int_distribution<int> percent(0, 9999);
    std::string copy;
    for (std::size_t i = 7; i < sent.size(); ++i) {
        const char c = sent[i];
        if (c == '\r' || c == '\n' || c == ' ') {
            copy += ' ';
            // One group in 200 lost whole: the learner fell behind and picked up again.
            if (percent(random) < 50)
                i = sent.find(' ', i + 1);
            if (i == std::string::npos)
                break;
            continue;
        }
        const int draw = percent(random);
        if (draw >= errorPercent * 100) {
            copy += c;
        } else if (draw < errorPercent * 50) { // wrong
            copy += kChars[random() % kChars.size()];
        } else if (draw < errorPercent * 85) { // missed
        } else {                               // extra
            copy += c;
            copy += kChars[random() % kChars.size()];
        }
    }
    return copy;
}

void BM_ScoreCopy(benchmark::State& state)
{
    std::mt19937 random(1234);
    const std::string sent = sentText(random);
    const std::string copy = copyWithErrors(random, sent, static_cast<int>(state.range(0)));
    int errors = 0;
    for (auto _ : state) {
        const vortan::CopyScore score = vortan::scoreCopy(sent, copy);
        errors = score.errors();
        benchmark::DoNotOptimize(errors);
    }
    state.counters["sent_chars"] = static_cast<double>(sent.size());
    state.counters["errors"] = errors;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Argument: the sent text's length in characters; second: per cent of errors in the copy.
void BM_ScorePastedMegabyte(benchmark::State& state)
{
    std::mt19937 random(99);
    std::string sent = "vvv =\r\n";
    while (sent.size() < static_cast<std::size_t>(state.range(0)))
        sent += "abcde ";
    sent.resize(static_cast<std::size_t>(state.range(0)));
    std::string copy = copyWithErrors(random, sent, static_cast<int>(state.range(1)));
    while (copy.size() < (std::size_t{1} << 20))
        copy += copy.substr(0, (std::size_t{1} << 20) - copy.size());
    bool refused = false;
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(vortan::scoreCopy(sent, copy).errors());
        } catch (const vortan::Error&) {
            refused = true;
        }
    }
    state.counters["refused"] = refused ? 1 : 0;
    state.counters["peak_MB"] = peakMegabytes();
}

} // namespace

BENCHMARK(BM_ScoreCopy)->Arg(0)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScorePastedMegabyte)
    ->Args({24, 0})
    ->Args({1 << 20, 1})
    ->Args({1 << 20, 10})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK_MAIN();
