// SPDX-License-Identifier: GPL-3.0-or-later
// Key to screen in the "Check copy" window with type-along on: a key event posted to the copy
// field, timed until its character is in the document and the field has painted it. While a
// Play sounds (each keystroke then asks the player for its heard frame, and the window reads it
// every 20 ms) against the same with no sound (the anchor), in the same run.
// Needs a sound server with a default sink: scripts/test-services.sh build/.../bench_key_to_screen
// (add --sound-server pipewire for PipeWire). The counters give the median and the slowest key,
// in microseconds.

#include "app/check/check_copy_window.h"
#include "history/history_store.h"
#include "sound/pulse_connection.h"
#include "sound/pulse_player.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// The window as ProgramWindows wires it, on the real sound server, with a minute of groups
// rendered to play.
struct Rig {
    Rig()
        : history(std::filesystem::path(folder.path().toStdString()) / "history.sqlite")
        , window(history, [](std::string_view) {})
        , player(connection)
    {
        std::string text;
        for (int group = 0; group < 40; ++group)
            text += "paris ";
        sent.text = text;
        sent.settings = {.speed = 100, .tone = 700};
        vortan::Synthesizer synthesizer(random, clock);
        synthesizer.txtofile(soundFile(), text, sent.settings);
        sent.seed = synthesizer.lastSampleSeed();

        window.setSentExercise(sent);
        window.setHeardClock([this] { return player.heardFrame(); });
        window.setTypeAlong(true);
        window.show();
        copyEdit = window.findChild<QPlainTextEdit*>(QStringLiteral("copyEdit"));
        copyEdit->setFocus();
        copyEdit->viewport()->installEventFilter(&paintCounter);
        QApplication::processEvents();
    }

    std::filesystem::path soundFile() const
    {
        return std::filesystem::path(folder.path().toStdString()) / "exercise.wav";
    }

    // Posts one key and waits for its character on the screen; microseconds.
    double typeOne()
    {
        QTextDocument* document = copyEdit->document();
        const int before = document->characterCount();
        const int paintsBefore = paintCounter.paints;
        const auto start = Clock::now();
        QCoreApplication::postEvent(copyEdit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A,
                                                            Qt::NoModifier, QStringLiteral("a")));
        QCoreApplication::postEvent(copyEdit, new QKeyEvent(QEvent::KeyRelease, Qt::Key_A,
                                                            Qt::NoModifier, QStringLiteral("a")));
        while (document->characterCount() == before || paintCounter.paints == paintsBefore)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    }

    QTemporaryDir folder;
    vortan::HistoryStore history;
    vortan::CheckCopyWindow window;
    vortan::PulseConnection connection{"Vortan benchmark"};
    vortan::PulsePlayer player;
    vortan::RandomGenerator random;
    const vortan::FixedClock clock{45'296'789};
    vortan::SentExercise sent;
    QPlainTextEdit* copyEdit = nullptr;
    PaintCounter paintCounter;
};

Rig& rig()
{
    // Never destroyed: its widgets must not outlive the QApplication, which main() ends first.
    static Rig* instance = new Rig;
    return *instance;
}

// Arg 0: no sound (the anchor); 1: while Play sounds.
void BM_KeyToScreen(benchmark::State& state)
{
    Rig& r = rig();
    const bool playing = state.range(0) == 1;
    r.player.stop();
    if (playing) {
        try {
            r.player.play(r.soundFile(), {.milliseconds = 500, .noise = 0});
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
            return;
        }
    }
    std::vector<double> times;
    for (auto _ : state) {
        if (r.copyEdit->document()->characterCount() > 400) {
            // A fresh line of copy, as a learner's, not one that grows without end.
            r.copyEdit->clear();
            QApplication::processEvents();
        }
        if (playing && !r.player.isPlaying())
            r.player.play(r.soundFile());
        const double us = r.typeOne();
        times.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    r.player.stop();
    if (times.empty())
        return;
    std::sort(times.begin(), times.end());
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["p99_us"] = times[times.size() * 99 / 100];
    state.counters["max_us"] = times.back();
}
BENCHMARK(BM_KeyToScreen)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);

} // namespace
