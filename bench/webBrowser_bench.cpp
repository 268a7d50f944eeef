// SPDX-License-Identifier: GPL-3.0-or-later
// What the browser check costs a label at construction: the About window builds one at start-up.
// Compared with asking xdg-mime, the route the check avoids.
#include "controls/mdURLLabel.h"
#include "desktop/webBrowser.h"

#include <QApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

// Registered first, so its single run pays for loading the MIME database as the program's first
// label does.
void BM_FirstBrowserCheck(benchmark::State& state)
{
    for (auto _ : state) {
        const vortan::DesktopWebBrowser browser;
        benchmark::DoNotOptimize(browser.canOpenWebPages());
    }
}
BENCHMARK(BM_FirstBrowserCheck)->Unit(benchmark::kMicrosecond)->Iterations(1);

void BM_DesktopBrowserCheck(benchmark::State& state)
{
    for (auto _ : state) {
        const vortan::DesktopWebBrowser browser;
        benchmark::DoNotOptimize(browser.canOpenWebPages());
    }
}
BENCHMARK(BM_DesktopBrowserCheck)->Unit(benchmark::kMicrosecond);

void BM_LabelConstruction(benchmark::State& state)
{
    for (auto _ : state) {
        vortan::TmdURLLabel label;
        benchmark::DoNotOptimize(label.actsAsLink());
    }
}
BENCHMARK(BM_LabelConstruction)->Unit(benchmark::kMicrosecond);

void BM_XdgMimeQuery(benchmark::State& state)
{
    for (auto _ : state) {
        QProcess process;
        process.start(
            QStringLiteral("xdg-mime"),
            {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
        benchmark::DoNotOptimize(process.waitForFinished(5000));
    }
}
BENCHMARK(BM_XdgMimeQuery)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
