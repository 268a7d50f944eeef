// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/band_conditions.h"

#include <string_view>

namespace vortan {

class ProfileDocument;

// The band conditions in the settings file's section [conditions], one key per condition in
// the renderer's text form: qsb=RATE:DEPTH, qrm1 to qrm3=OFFSET:LEVEL[:SPEED], qrn=RATE:LEVEL,
// chirp=HZ:MS. The settingsN sections never hold them.
inline constexpr std::string_view kConditionsSection = "conditions";

// The conditions the document holds; a missing key, or one whose text is not valid, leaves
// its condition off.
BandConditions conditionsFrom(const ProfileDocument& document);

// Writes a condition's key when it is not off or the document has the key already (a station
// no longer there leaves its key empty): a file that never had conditions gets none while
// they stay off. Nothing else is touched.
void storeConditions(ProfileDocument& document, const BandConditions& conditions);

} // namespace vortan
