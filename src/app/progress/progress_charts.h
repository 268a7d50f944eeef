// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/progress_statistics.h"

#include <vector>

class QChart;
class QPalette;

namespace vortan {

// Accuracy in per cent of every check, by the date and time it was made.
QChart* accuracyOverTimeChart(const std::vector<CheckPoint>& checks);

// Accuracy in per cent of all checks at each transmission tempo.
QChart* accuracyByTempoChart(const std::vector<TempoPoint>& tempos);

// Colours the chart from the window's palette, so that it reads in a light style and in a dark.
void styleChart(QChart& chart, const QPalette& palette);

} // namespace vortan
