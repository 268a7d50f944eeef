// SPDX-License-Identifier: GPL-3.0-or-later
// Scoring a long copy: 5 000 characters of five-letter groups against copies with no errors,
// with 5 % and with 10 % of the characters wrong, missed or extra (and now and then a whole
// group lost), as a tired learner's copy looks. Run with --benchmark_repetitions=N for medians.

#include "scoring/copy_score.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

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

} // namespace

BENCHMARK(BM_ScoreCopy)->Arg(0)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
