// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace vortan {

// The program's window font at a size in pixels (the windows are drawn to the pixel). The classic
// Windows sans is not on a stock Linux desktop: Liberation Sans has its metrics, Arimo is the
// same design, and DejaVu Sans is there when neither is.
QFont programFont(int pixelSize);

} // namespace vortan
