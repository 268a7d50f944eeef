// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/progress_over_time.h"
#include "scoring/recognition_statistics.h"

#include <vector>

class QChart;
class QPalette;

namespace vortan {

// Accuracy in per cent of each day or week (pointsOverTime()), at the day or week's middle.
QChart* accuracyOverTimeChart(const std::vector<PeriodPoint>& points);

// Accuracy in per cent of all checks at each transmission tempo.
QChart* accuracyByTempoChart(const std::vector<TempoPoint>& tempos);

// The median recognition time of each check typed along, in milliseconds, at its time.
QChart* recognitionOverTimeChart(const std::vector<RecognitionPoint>& points);

// Colours the chart from the window's palette, so that it reads in a light style and in a dark.
void styleChart(QChart& chart, const QPalette& palette);

} // namespace vortan
