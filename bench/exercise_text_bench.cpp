// SPDX-License-Identifier: GPL-3.0-or-later
// How long the text box takes to take and give back large texts: the ground for its capacity.
#include "app/exercise_text_box.h"
#include "desktop/windows1250.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <string>

namespace {

enum class Shape { Lines, OneWordlessLine, OneLineOfGroups };

// Exercise-like text: lines of 36 characters (random groups), CR LF; or the groups without breaks.
std::string linesOfText(std::size_t byteCount, bool breaks = true)
{
    const std::string line = breaks ? "abstg jnokq fmzix drhew lypvc u8219 \r\n"
                                    : "abstg jnokq fmzix drhew lypvc u8219 ";
    std::string text;
    while (text.size() + line.size() <= byteCount) {
        text += line;
    }
    return text;
}

// setPlainText into a box that is shown (so that wrapping and painting happen as for the user).
void setTextInShownBox(benchmark::State& state, std::size_t byteCount, Shape shape)
{
    const std::string text = shape == Shape::OneWordlessLine
                                 ? std::string(byteCount, 'a')
                                 : linesOfText(byteCount, shape == Shape::Lines);
    QPlainTextEdit memo;
    memo.resize(325, 131);
    vortan::restrictToWindows1250(memo);
    memo.show();
    // Straight into the box, past our own capacity check: the box's own cost is measured.
    QString unicode = vortan::windows1250::toUnicode(text);
    unicode.remove(u'\r');
    for (auto _ : state) {
        memo.setPlainText(unicode);
        memo.repaint();
        QApplication::processEvents();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Argument: MiB of exercise-like lines.
void BM_SetExerciseText(benchmark::State& state)
{
    setTextInShownBox(state, static_cast<std::size_t>(state.range(0)) << 20, Shape::Lines);
}

// Argument: KiB in one line without spaces (a file without line breaks), the worst to wrap.
void BM_SetExerciseTextOneLongLine(benchmark::State& state)
{
    setTextInShownBox(state, static_cast<std::size_t>(state.range(0)) << 10,
                      Shape::OneWordlessLine);
}

// Argument: KiB of random groups in one line: the box can wrap it between the groups.
void BM_SetExerciseTextOneLineOfGroups(benchmark::State& state)
{
    setTextInShownBox(state, static_cast<std::size_t>(state.range(0)) << 10,
                      Shape::OneLineOfGroups);
}

void BM_ExerciseTextBytes(benchmark::State& state)
{
    QPlainTextEdit memo;
    vortan::setExerciseTextBytes(memo, linesOfText(static_cast<std::size_t>(state.range(0)) << 20));
    for (auto _ : state) {
        benchmark::DoNotOptimize(vortan::exerciseTextBytes(memo));
    }
}

} // namespace

BENCHMARK(BM_SetExerciseText)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetExerciseTextOneLongLine)->Arg(16)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetExerciseTextOneLineOfGroups)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExerciseTextBytes)->Arg(4)->Unit(benchmark::kMillisecond);
