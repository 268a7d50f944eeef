// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/options_store.h"

#include "base/errors.h"
#include "files/regular_file.h"
#include "settings/conditions_section.h"
#include "settings/profile_document.h"
#include "settings/profile_file.h"
#include "settings/settings_file.h"

#include <stdexcept>
#include <string>

namespace vortan {

int OptionsStore::value(OptionId id) const
{
    return m_options.*programOption(id).field;
}

void OptionsStore::setValue(OptionId id, int value)
{
    const ProgramOption& option = programOption(id);
    if (value < option.minimum || value > option.maximum) {
        throw outOfRange("The option " + std::string(option.key), option.minimum, option.maximum,
                         value);
    }
    m_options.*option.field = value;
}

void OptionsStore::setConditions(const BandConditions& conditions)
{
    checkConditions(conditions);
    m_conditions = conditions;
}

void OptionsStore::load(const ProfileDocument& document)
{
    m_conditions = conditionsFrom(document);
    const std::string section(kOptionsSection);
    for (const ProgramOption& option : kProgramOptions) {
        const auto text = document.value(section, option.key);
        const auto number =
            text ? settingsIntegerInRange(*text, option.minimum, option.maximum) : std::nullopt;
        m_options.*option.field = number.value_or(option.start);
    }
    m_readAtStart = m_options;
}

void OptionsStore::store(ProfileDocument& document) const
{
    storeConditions(document, m_conditions);
    const std::string section(kOptionsSection);
    for (const ProgramOption& option : kProgramOptions) {
        const int value = m_options.*option.field;
        if (value != m_readAtStart.*option.field)
            document.setValue(section, option.key, std::to_string(value),
                              ProfileDocument::LineEnding::AsTheFile);
    }
}

} // namespace vortan
