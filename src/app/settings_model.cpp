// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_model.h"

namespace vortan {

SettingsModel::SettingsModel(QObject* parent)
    : QObject(parent)
{
}

void SettingsModel::setPresets(const Presets& presets)
{
    m_presets = presets;
    Q_EMIT presetChanged(m_currentPreset == 0 ? 1 : m_currentPreset);
}

void SettingsModel::selectPreset(int number)
{
    if (number < 1 || number > static_cast<int>(m_presets.size()))
        return;
    m_currentPreset = static_cast<std::uint8_t>(number);
    Q_EMIT presetChanged(number);
}

SettingsPreset& SettingsModel::currentPreset()
{
    return m_presets[m_currentPreset == 0 ? 0 : m_currentPreset - 1];
}

const SettingsPreset& SettingsModel::current() const
{
    return m_presets[m_currentPreset == 0 ? 0 : m_currentPreset - 1];
}

void SettingsModel::setInteger(IntegerSettingId id, std::int32_t value)
{
    std::int32_t& stored = currentPreset().*integerSetting(id).inPreset;
    if (stored == value)
        return;
    stored = value;
    Q_EMIT settingChanged(id, value);
}

void SettingsModel::setSliderPosition(IntegerSettingId id, int position)
{
    const IntegerSetting& setting = integerSetting(id);
    if (sliderPosition(currentPreset().*setting.inPreset, setting) != position)
        setInteger(id, position);
}

void SettingsModel::setChars(const std::string& chars)
{
    std::string& stored = currentPreset().chars;
    if (stored == chars)
        return;
    stored = chars;
    Q_EMIT charsChanged();
}

void SettingsModel::restoreDefaults()
{
    for (SettingsPreset& preset : m_presets) {
        // The defaults command leaves the straight-key ratio as it is.
        for (const IntegerSetting& setting : kIntegerSettings) {
            if (setting.id != IntegerSettingId::Straight)
                preset.*setting.inPreset = setting.start;
        }
        preset.chars = std::string(kDefaultsCommandChars);
    }
    Q_EMIT presetChanged(m_currentPreset == 0 ? 1 : m_currentPreset);
}

} // namespace vortan
