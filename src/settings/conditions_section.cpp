// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/conditions_section.h"

#include "base/errors.h"
#include "settings/profile_document.h"

#include <string>

namespace vortan {

namespace {

std::string stationKey(int index)
{
    return "qrm" + std::to_string(index + 1);
}

// Reads one key through its parser; an odd text is no condition.
template <typename Apply>
void readKey(const ProfileDocument& document, std::string_view key, const Apply& apply)
{
    const auto text = document.value(kConditionsSection, key);
    if (!text || text->empty())
        return;
    try {
        apply(*text);
    } catch (const Error&) {
        // An odd value is as if the key were missing, as the settings file's integers are.
    }
}

} // namespace

BandConditions conditionsFrom(const ProfileDocument& document)
{
    BandConditions conditions;
    readKey(document, "qsb", [&](std::string_view text) { setQsb(conditions, text); });
    for (int i = 0; i < kQrmMaxStations; ++i) {
        readKey(document, stationKey(i),
                [&](std::string_view text) { conditions.qrm.push_back(parseQrm(text)); });
    }
    readKey(document, "qrn", [&](std::string_view text) { setQrn(conditions, text); });
    readKey(document, "chirp", [&](std::string_view text) { setChirp(conditions, text); });
    return conditions;
}

void storeConditions(ProfileDocument& document, const BandConditions& conditions)
{
    auto store = [&document](std::string_view key, bool on, const std::string& text) {
        if (on || document.value(kConditionsSection, key))
            document.setValue(kConditionsSection, key, text,
                              ProfileDocument::LineEnding::AsTheFile);
    };
    const BandConditions off;
    store("qsb", conditions.qsbRate != off.qsbRate || conditions.qsbDepthDb != off.qsbDepthDb,
          qsbText(conditions));
    for (int i = 0; i < kQrmMaxStations; ++i) {
        const bool present = static_cast<std::size_t>(i) < conditions.qrm.size();
        store(stationKey(i), present,
              present ? qrmText(conditions.qrm[static_cast<std::size_t>(i)]) : std::string());
    }
    store("qrn", conditions.qrnRate != off.qrnRate || conditions.qrnLevelDb != off.qrnLevelDb,
          qrnText(conditions));
    store("chirp", conditions.chirpHz != off.chirpHz || conditions.chirpMs != off.chirpMs,
          chirpText(conditions));
}

} // namespace vortan
