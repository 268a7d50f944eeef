// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/wording.h"

namespace vortan {

// The wording of the units without Qt through Qt's translations, in the language the
// application installed (app/language): what the windows give them.
const Wording& translatedWording();

} // namespace vortan
