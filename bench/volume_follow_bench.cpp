// SPDX-License-Identifier: GPL-3.0-or-later
// How fast the volume slider follows a change made elsewhere, and what an idle slider costs.
// Needs a sound server with a default sink (scripts/test-services.sh bench/...).

#include "controls/WaveControl.h"
#include "sound/pulse_volume.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using vortan::TWaveVolumeSetting;

// A connection of its own and the volume on it.
struct ServerVolume {
    explicit ServerVolume(const char* name)
        : connection(name)
    {
    }
    bool hasOutput() const { return volume.hasOutput(); }
    void setVolume(std::uint32_t value) { volume.setVolume(value); }

    vortan::PulseConnection connection;
    vortan::PulseVolume volume{connection};
};

constexpr std::uint32_t both(std::uint32_t channel)
{
    return (channel << 16) | channel;
}

bool waitForSlider(TWaveVolumeSetting& slider, int position)
{
    QElapsedTimer timer;
    timer.start();
    while (slider.value() != position) {
        if (timer.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

bool waitForOutput(const ServerVolume& server)
{
    QElapsedTimer timer;
    timer.start();
    while (!server.hasOutput() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return server.hasOutput();
}

bool connect(TWaveVolumeSetting& slider, ServerVolume& server)
{
    slider.setOrientation(Qt::Horizontal);
    slider.setOutputVolume(&server.volume);
    return waitForOutput(server);
}

// Another client (as a mixer would be) changes the volume; time until the slider shows it.
void BM_OutsideChangeToSlider(benchmark::State& state)
{
    ServerVolume server("Vortan bench");
    ServerVolume mixer("Vortan bench mixer");
    TWaveVolumeSetting slider;
    if (!connect(slider, server) || !waitForOutput(mixer)) {
        state.SkipWithError("no sound server");
        return;
    }
    bool loud = false;
    for (auto _ : state) {
        loud = !loud;
        const std::uint32_t channel = loud ? 60000 : 10000;
        const auto start = std::chrono::steady_clock::now();
        mixer.setVolume(both(channel));
        if (!waitForSlider(slider, int(channel / 2520))) {
            state.SkipWithError("the slider did not follow");
            return;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    server.setVolume(both(65535));
}
BENCHMARK(BM_OutsideChangeToSlider)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same through pactl, as a user's mixer command: includes starting pactl.
void BM_PactlChangeToSlider(benchmark::State& state)
{
    ServerVolume server("Vortan bench");
    TWaveVolumeSetting slider;
    if (!connect(slider, server)) {
        state.SkipWithError("no sound server");
        return;
    }
    bool loud = false;
    for (auto _ : state) {
        loud = !loud;
        const auto start = std::chrono::steady_clock::now();
        std::system(loud ? "pactl set-sink-volume @DEFAULT_SINK@ 90%"
                         : "pactl set-sink-volume @DEFAULT_SINK@ 20%");
        if (!waitForSlider(slider, loud ? 58981 / 2520 : 13107 / 2520)) {
            state.SkipWithError("the slider did not follow");
            return;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    server.setVolume(both(65535));
}
BENCHMARK(BM_PactlChangeToSlider)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

double processSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// A shown slider connected to the server, left alone for ten seconds: CPU used, in percent of
// one core.
void BM_IdleSliderCpu(benchmark::State& state)
{
    ServerVolume server("Vortan bench");
    TWaveVolumeSetting slider;
    if (!connect(slider, server)) {
        state.SkipWithError("no sound server");
        return;
    }
    slider.show();
    double percent = 0;
    for (auto _ : state) {
        const double cpuBefore = processSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        percent = 100 * (processSeconds() - cpuBefore) / (double(wall.elapsed()) / 1000);
    }
    state.counters["cpu_percent"] = percent;
}
BENCHMARK(BM_IdleSliderCpu)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
