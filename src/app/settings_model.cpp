#include "app/settings_model.h"

namespace vortan {

namespace {
// The defaults command's set: the same 40 characters as the start-up set, the last four signs
// in another order.
constexpr const char* kDefaultsCommandChars = "abcdefghijklmnopqrstuvwxyz0123456789!?/=";
} // namespace

void SettingsModel::selectPreset(int number)
{
    if (number >= 1 && number <= static_cast<int>(m_presets.size()))
        m_currentPreset = static_cast<std::uint8_t>(number);
}

SettingsPreset& SettingsModel::current()
{
    return m_presets[m_currentPreset == 0 ? 0 : m_currentPreset - 1];
}

const SettingsPreset& SettingsModel::current() const
{
    return m_presets[m_currentPreset == 0 ? 0 : m_currentPreset - 1];
}

void SettingsModel::restoreDefaults()
{
    for (SettingsPreset& preset : m_presets) {
        preset.speed = kSpeedRange.start;
        preset.spaces = kSpacesRange.start;
        preset.tone = kToneRange.start;
        preset.noise = kNoiseRange.start;
        preset.chars = kDefaultsCommandChars;
    }
}

} // namespace vortan
