// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/progress/progress_charts.h"

#include "history/local_days.h"

#include <QChart>
#include <QCoreApplication>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QPalette>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace vortan {

namespace {

// Markers help a few points; thousands of them would only hide the line.
constexpr qsizetype kMostPointsWithMarkers = 200;

// From the lowest accuracy shown (in tens, 0 at the least) to 100: a learner's checks mostly lie
// between 80 and 100, where a fixed 0 would flatten the trend.
QValueAxis* percentAxis(const QLineSeries& series)
{
    double lowest = 100;
    for (const QPointF& point : series.points())
        lowest = std::min(lowest, point.y());
    const double bottom = std::max(0.0, 10 * std::floor((lowest - 1) / 10));
    auto* axis = new QValueAxis;
    axis->setRange(bottom, 100);
    const int span = int(100 - bottom);
    axis->setTickCount(span <= 50 ? span / 10 + 1 : span / 20 + 1); // a line every 10 or 20
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setTitleText(QCoreApplication::translate("vortan::ProgressWindow", "Accuracy, %"));
    return axis;
}

QChart* chartWith(QLineSeries* series, QAbstractAxis* horizontal, QValueAxis* vertical)
{
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->addSeries(series);
    chart->addAxis(horizontal, Qt::AlignBottom);
    chart->addAxis(vertical, Qt::AlignLeft);
    series->attachAxis(horizontal);
    series->attachAxis(vertical);
    series->setPointsVisible(series->count() <= kMostPointsWithMarkers);
    return chart;
}

} // namespace

QChart* accuracyOverTimeChart(const std::vector<PeriodPoint>& points)
{
    auto* series = new QLineSeries;
    const bool weeks = !points.empty() && points.front().dayCount > 1;
    series->setName(weeks ? QObject::tr("Accuracy per week") : QObject::tr("Accuracy per day"));
    // Each point at the start of its day or week, where the date labels are.
    for (const PeriodPoint& point : points)
        series->append(double(localDayStartMs(point.firstDay)), 100.0 * point.accuracy());

    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("yyyy-MM-dd"));
    time->setTitleText(weeks ? QObject::tr("Week from Monday") : QObject::tr("Day"));
    time->setTickCount(5);
    if (!points.empty()) {
        // A day or week on either side, so that a single point is not squeezed onto an edge;
        // a few days get a tick each, so that every label falls on a day's start.
        const int step = points.front().dayCount;
        const std::int64_t first = points.front().firstDay - step;
        const std::int64_t last = points.back().firstDay + step;
        time->setRange(QDateTime::fromMSecsSinceEpoch(localDayStartMs(first)),
                       QDateTime::fromMSecsSinceEpoch(localDayStartMs(last)));
        const std::int64_t ticks = (last - first) / step + 1;
        if (ticks <= 9)
            time->setTickCount(int(ticks));
    }
    QChart* chart = chartWith(series, time, percentAxis(*series));
    chart->setTitle(QCoreApplication::translate("vortan::ProgressWindow", "Accuracy over time"));
    return chart;
}

QChart* accuracyByTempoChart(const std::vector<TempoPoint>& tempos)
{
    auto* series = new QLineSeries;
    series->setName(QCoreApplication::translate("vortan::ProgressWindow", "Accuracy by tempo"));
    for (const TempoPoint& point : tempos)
        series->append(point.tempo, 100.0 * point.accuracy());

    auto* tempo = new QValueAxis;
    tempo->setLabelFormat(QStringLiteral("%d"));
    tempo->setTitleText(QCoreApplication::translate("vortan::ProgressWindow",
                                                    "Transmission tempo, characters per minute"));
    if (!tempos.empty()) {
        tempo->setRange(tempos.front().tempo - 5, tempos.back().tempo + 5);
        tempo->applyNiceNumbers();
    }
    QChart* chart = chartWith(series, tempo, percentAxis(*series));
    chart->setTitle(QCoreApplication::translate("vortan::ProgressWindow", "Accuracy by tempo"));
    return chart;
}

QChart* recognitionOverTimeChart(const std::vector<RecognitionPoint>& points)
{
    auto* series = new QLineSeries;
    series->setName(
        QCoreApplication::translate("vortan::ProgressWindow", "Recognition time per check"));
    int slowest = 0;
    for (const RecognitionPoint& point : points) {
        series->append(double(point.checkedAtMs), point.medianMs);
        slowest = std::max(slowest, point.medianMs);
    }
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("yyyy-MM-dd"));
    time->setTitleText(QCoreApplication::translate("vortan::ProgressWindow", "Check"));
    time->setTickCount(5);
    if (!points.empty()) {
        // An hour on either side, so that a single check is not squeezed onto an edge.
        constexpr qint64 kHourMs = 3'600'000;
        time->setRange(QDateTime::fromMSecsSinceEpoch(points.front().checkedAtMs - kHourMs),
                       QDateTime::fromMSecsSinceEpoch(points.back().checkedAtMs + kHourMs));
    }
    auto* milliseconds = new QValueAxis;
    milliseconds->setRange(0, std::max(100, slowest + slowest / 10));
    milliseconds->applyNiceNumbers();
    milliseconds->setLabelFormat(QStringLiteral("%d"));
    milliseconds->setTitleText(QCoreApplication::translate("vortan::ProgressWindow", "Median, ms"));
    QChart* chart = chartWith(series, time, milliseconds);
    chart->setTitle(
        QCoreApplication::translate("vortan::ProgressWindow", "Recognition time over time"));
    return chart;
}

void styleChart(QChart& chart, const QPalette& palette)
{
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    chart.setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    chart.setBackgroundBrush(palette.brush(QPalette::Base));
    chart.setTitleBrush(palette.brush(QPalette::Text));
    const QColor grid = palette.color(QPalette::Mid);
    for (QAbstractAxis* axis : chart.axes()) {
        axis->setLabelsBrush(palette.brush(QPalette::Text));
        axis->setTitleBrush(palette.brush(QPalette::Text));
        axis->setGridLineColor(grid);
        axis->setLinePenColor(grid);
    }
    for (QAbstractSeries* series : chart.series()) {
        if (auto* line = qobject_cast<QLineSeries*>(series)) {
            QPen pen(palette.color(QPalette::Highlight));
            pen.setWidthF(2.0);
            line->setPen(pen);
        }
    }
}

} // namespace vortan
