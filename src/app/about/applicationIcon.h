// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace vortan {

// Vortan's own icon for its windows, from PNGs built into the program at 16 to 256 pixels (an SVG
// would need Qt's SVG plugin at run time). The desktop entry uses the same pictures.
QIcon applicationIcon();

} // namespace vortan
