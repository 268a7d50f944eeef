// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/band_conditions.h"
#include "settings/options_schema.h"
#include "settings/settings_schema.h"

#include <filesystem>

namespace vortan {

class ProfileDocument;

// The program's options while it runs, each always within its range. main() owns the one store;
// the Options window changes it, Play and the renderings read it. Read from the settings file
// at start and written back at close with the presets (Odczytaj1Click, Zapisz1Click), in the
// sections [options] and [conditions] only.
class OptionsStore {
public:
    const ProgramOptions& options() const { return m_options; }
    int value(OptionId id) const;

    // Throws vortan::Error for a value outside the option's range; the option keeps its value.
    void setValue(OptionId id, int value);

    // The band conditions of the renderings, kept in their own section [conditions].
    const BandConditions& conditions() const { return m_conditions; }
    // Throws vortan::Error for a value outside its range; the conditions keep their values.
    void setConditions(const BandConditions& conditions);

    // Takes the options the document holds, as the sliders take theirs: the default for a
    // missing key or one that is no number (the settings file's integers), the nearer end of
    // the range for a number outside it, however large.
    void load(const ProfileDocument& document);

    // Writes into the document the options the user changed since load(), each line ending as
    // the file's lines do; a value the file holds in its own way (out of range, not a number)
    // stays as it is unless the user changed that option. Nothing else is touched.
    void store(ProfileDocument& document) const;

private:
    ProgramOptions m_options;
    ProgramOptions m_readAtStart; // as load() found them
    BandConditions m_conditions;
};

} // namespace vortan
