// SPDX-License-Identifier: GPL-3.0-or-later
// Click to first sound: the main window's Play clicked with the pointer, the sound heard on the
// default sink's monitor. Anchors measured in the same run and the same way: paplay playing the
// opening line as a whole new process, the rendering alone (Save WAV of the same text), and the
// player alone with and without a lead-in. Peak memory while the long text plays, and Stop to
// silence.
// Needs a sound server with a default sink: scripts/test-services.sh build/.../bench_playback
// (add --sound-server pipewire for PipeWire). Times are medians, in milliseconds.

#include "app/vortan1.h"
#include "sound/pulse_connection.h"
#include "sound/pulse_player.h"
#include "sound/pulse_volume.h"
#include "support/program_harness.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

pid_t spawn(std::vector<std::string> arguments, int standardOutput = -1)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (standardOutput >= 0)
        posix_spawn_file_actions_adddup2(&actions, standardOutput, 1);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void end(pid_t pid)
{
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}

// The default sink's monitor, recorded by parec in 5 ms fragments for the whole run. A sound is
// heard when the fragment holding its first loud sample arrives: a null sink renders ahead of any
// clock, so that is the first moment the sound exists outside the server.
class MonitorWatch {
public:
    MonitorWatch()
    {
        int pipeEnds[2];
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
            return;
        m_parec = spawn({"parec", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                         "--latency-msec=5", "-d", "@DEFAULT_MONITOR@"},
                        pipeEnds[1]);
        ::close(pipeEnds[1]);
        m_reader = std::thread([this, fd = pipeEnds[0]] { read(fd); });
    }
    ~MonitorWatch()
    {
        end(m_parec);
        m_reader.join();
    }

    // Waits for the first fragment: the server may take a second or two to start a monitor.
    bool running()
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [this] { return m_running; });
    }

    // When the sink first played a sample louder than `level` after this call.
    std::optional<Clock::time_point> nextSound(std::chrono::milliseconds limit, int level = 3000)
    {
        std::unique_lock lock(m_mutex);
        m_level = level;
        m_sound.reset();
        if (!m_changed.wait_for(lock, limit, [this] { return m_sound.has_value(); }))
            return std::nullopt;
        return m_sound;
    }

    // Waits until the recording has brought `quiet` of nothing louder than a lead-in.
    bool waitForQuiet(std::chrono::milliseconds quiet = 150ms)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 20s, [&] { return m_lastArrival - m_lastLoud > quiet; });
    }

    // When the last sample louder than a lead-in arrived.
    Clock::time_point lastLoud()
    {
        std::lock_guard lock(m_mutex);
        return m_lastLoud;
    }

private:
    void read(int fd)
    {
        std::vector<std::int16_t> block(4096);
        std::size_t carried = 0; // bytes of a frame cut by the last read
        for (;;) {
            const ssize_t got = ::read(fd, reinterpret_cast<char*>(block.data()) + carried,
                                       block.size() * 2 - carried);
            if (got <= 0)
                break;
            const auto arrived = Clock::now();
            const std::size_t bytes = carried + std::size_t(got);
            const std::size_t frames = bytes / 4;
            std::lock_guard lock(m_mutex);
            m_running = true;
            m_lastArrival = arrived;
            for (std::size_t i = 0; i < frames; ++i) {
                if (std::abs(block[2 * i]) <= 600)
                    continue;
                m_lastLoud = arrived;
                if (!m_sound && std::abs(block[2 * i]) > m_level)
                    m_sound = arrived;
            }
            carried = bytes % 4;
            std::memmove(block.data(), reinterpret_cast<char*>(block.data()) + frames * 4, carried);
            m_changed.notify_all();
        }
        ::close(fd);
    }

    pid_t m_parec = -1;
    std::thread m_reader;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_running = false;
    int m_level = 3000;
    std::optional<Clock::time_point> m_sound;
    Clock::time_point m_lastLoud;
    Clock::time_point m_lastArrival;
};

// The wall clock the rig's renderings read, as the program's do.
const vortan::Clock& wallClock()
{
    static const vortan::SystemClock clock;
    return clock;
}

// The program as main() builds it, on the real sound server, with files of its own.
struct Rig : vortan::test::ProgramHarness {
    Rig()
        : ProgramHarness(&wallClock())
    {
        fs::create_directories(root / "config");
        fs::create_directories(soundFile.parent_path());
        window = makeWindow(
            {.settingsFile = root / "config" / "vortan.ini", .temporarySoundFile = soundFile},
            &pulsePlayer, &volume);
        window->setWavFileChooser([this] { return std::optional(root / "saved.wav"); });
        window->show();
    }
    QAbstractButton* button(int number) const
    {
        return window->findChild<QAbstractButton*>(QStringLiteral("SpeedItem%1").arg(number));
    }
    QPlainTextEdit* memo() const
    {
        return window->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    }
    bool ready()
    {
        for (int waited = 0; waited < 100 && !volume.hasOutput(); ++waited)
            std::this_thread::sleep_for(50ms);
        return volume.hasOutput() && monitor.running() && errors.isEmpty();
    }

    // In memory, where a desktop's runtime folder (and so the program's sound file) lies.
    QTemporaryDir folder{QStringLiteral("/dev/shm/vortan-bench-XXXXXX")};
    fs::path root = folder.path().toStdString();
    fs::path soundFile = root / "run" / "~ortan.wav";
    vortan::PulseConnection connection{"Vortan bench"};
    vortan::PulsePlayer pulsePlayer{connection};
    vortan::PulseVolume volume{connection};
    std::unique_ptr<vortan::TForm1> window;
    MonitorWatch monitor;
};

// The opening line (0) or about `kilobytes` of five-letter groups, ten to a line.
QString exerciseText(int kilobytes)
{
    if (kilobytes == 0)
        return QStringLiteral("vvv =");
    QString text;
    std::uint32_t state = 12345;
    while (text.size() < kilobytes * 1000) {
        for (int group = 0; group < 10; ++group) {
            for (int letter = 0; letter < 5; ++letter) {
                state = state * 1103515245u + 12345u;
                text += QChar(u'a' + char16_t(state >> 16) % 26);
            }
            text += group < 9 ? u' ' : u'\n';
        }
    }
    return text;
}

double milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void reportMedian(benchmark::State& state, const std::vector<double>& times)
{
    if (times.empty())
        return;
    state.counters["median_ms"] = median(times);
    state.counters["min_ms"] = *std::min_element(times.begin(), times.end());
    state.counters["max_ms"] = *std::max_element(times.begin(), times.end());
}

std::uint64_t statusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::stoull(line.substr(std::string(field).size()));
    return 0;
}

bool prepare(benchmark::State& state, Rig& r)
{
    if (!r.ready()) {
        state.SkipWithError("no sound server with a default sink, or no monitor recording");
        return false;
    }
    return true;
}

// Pointer click on Play to the first sound; the text is set anew each time, so every Play
// renders. Right before, the rendering alone: Save WAV of the same text with the same settings,
// clicked the same way, so that a busy disk or processor weighs on both alike. For the long
// texts, the peak resident memory from before the click to 2 s into the sound.
void BM_ClickToSound(benchmark::State& state)
{
    Rig r;
    if (!prepare(state, r))
        return;
    const QString text = exerciseText(int(state.range(0)));
    std::vector<double> times;
    std::vector<double> renderings;
    std::vector<double> beyondRendering;
    std::vector<double> afterPlayReturned;
    double peakRiseMiB = 0;
    for (auto _ : state) {
        r.memo()->setPlainText(text);
        const auto saving = Clock::now();
        QTest::mouseClick(r.button(10), Qt::LeftButton);
        renderings.push_back(milliseconds(Clock::now() - saving));
        r.memo()->document()->setModified(true); // as any edit leaves it
        r.monitor.waitForQuiet();
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts from here
        const std::uint64_t before = statusKiB("VmRSS:");
        const auto clicked = Clock::now();
        QTest::mouseClick(r.button(1), Qt::LeftButton);
        const auto returned = Clock::now();
        const auto heard = r.monitor.nextSound(10s);
        if (!heard || !r.errors.isEmpty()) {
            state.SkipWithError("Play was not heard");
            return;
        }
        times.push_back(milliseconds(*heard - clicked));
        beyondRendering.push_back(times.back() - renderings.back());
        afterPlayReturned.push_back(milliseconds(*heard - returned));
        state.SetIterationTime(times.back() / 1000);
        if (state.range(0) >= 20) {
            std::this_thread::sleep_for(2s);
            const double rise = double(statusKiB("VmHWM:")) - double(before);
            peakRiseMiB = std::max(peakRiseMiB, rise / 1024);
        }
        QTest::mouseClick(r.button(2), Qt::LeftButton);
    }
    fs::remove(r.root / "saved.wav");
    reportMedian(state, times);
    state.counters["rendering_median_ms"] = median(renderings);
    state.counters["beyond_rendering_median_ms"] = median(beyondRendering);
    state.counters["after_click_returned_median_ms"] = median(afterPlayReturned);
    if (state.range(0) >= 20)
        state.counters["peak_rise_MiB"] = peakRiseMiB;
}
BENCHMARK(BM_ClickToSound)->Arg(0)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickToSound)->Arg(20)->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickToSound)->Arg(100)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

// paplay playing the opening line's rendering, from starting the process to the first sound.
void BM_PaplayOpeningLine(benchmark::State& state)
{
    Rig r;
    if (!prepare(state, r))
        return;
    r.memo()->setPlainText(exerciseText(0));
    QTest::mouseClick(r.button(10), Qt::LeftButton);
    std::vector<double> times;
    for (auto _ : state) {
        r.monitor.waitForQuiet();
        const auto started = Clock::now();
        const pid_t paplay = spawn({"paplay", (r.root / "saved.wav").string()});
        const auto heard = r.monitor.nextSound(10s);
        end(paplay);
        if (!heard) {
            state.SkipWithError("paplay was not heard");
            return;
        }
        times.push_back(milliseconds(*heard - started));
        state.SetIterationTime(times.back() / 1000);
    }
    reportMedian(state, times);
}
BENCHMARK(BM_PaplayOpeningLine)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

// The player alone on a rendered opening line: play() to the first element, less the lead-in
// (quiet noise of 0 or 500 ms) that comes before it.
void BM_PlayerToFirstElement(benchmark::State& state)
{
    Rig r;
    if (!prepare(state, r))
        return;
    r.memo()->setPlainText(exerciseText(0));
    QTest::mouseClick(r.button(10), Qt::LeftButton);
    const vortan::PlaybackLeadIn leadIn{int(state.range(0)), 0};
    std::vector<double> times;
    for (auto _ : state) {
        r.monitor.waitForQuiet();
        const auto started = Clock::now();
        r.pulsePlayer.play(r.root / "saved.wav", leadIn);
        const auto heard = r.monitor.nextSound(10s);
        if (!heard) {
            state.SkipWithError("the player was not heard");
            return;
        }
        times.push_back(milliseconds(*heard - started) - leadIn.milliseconds);
        state.SetIterationTime(std::max(times.back(), 0.0) / 1000);
        r.pulsePlayer.stop();
    }
    reportMedian(state, times);
}
BENCHMARK(BM_PlayerToFirstElement)
    ->Arg(0)
    ->Arg(500)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Stop clicked while the 20 KB text plays, to the last sound the sink played.
void BM_StopToSilence(benchmark::State& state)
{
    Rig r;
    if (!prepare(state, r))
        return;
    r.memo()->setPlainText(exerciseText(20));
    std::vector<double> times;
    for (auto _ : state) {
        r.monitor.waitForQuiet();
        QTest::mouseClick(r.button(1), Qt::LeftButton);
        std::this_thread::sleep_for(1500ms);
        const auto clicked = Clock::now();
        QTest::mouseClick(r.button(2), Qt::LeftButton);
        if (!r.monitor.waitForQuiet(500ms)) {
            state.SkipWithError("the sound did not stop");
            return;
        }
        times.push_back(std::max(0.0, milliseconds(r.monitor.lastLoud() - clicked)));
        state.SetIterationTime(times.back() / 1000);
    }
    reportMedian(state, times);
}
BENCHMARK(BM_StopToSilence)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
