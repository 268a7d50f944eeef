// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

namespace vortan {

// The overall sending tempo in characters per minute shown beside the spacing:
// 48 / (6 * spaces + 48) * speed, rounded to the nearest integer, halves to even.
inline int transmissionTempo(int speed, int spaces)
{
    const double factor = 48.0 / (6.0 * spaces + 48.0);
    // nearbyint follows the default rounding mode: to nearest, halves to even.
    return static_cast<int>(std::nearbyint(factor * speed));
}

} // namespace vortan
