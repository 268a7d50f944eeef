// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settings_preset.h"
#include "settings/transmission_tempo.h"

#include <QObject>

#include <cstdint>
#include <string>

namespace vortan {

// The program-level settings state: the three presets and which of them is current. The window
// shows the current preset in its sliders (clamped) while the preset keeps the numbers as read,
// so a value outside a slider's range survives until the user moves that slider.
// Every change goes through the setters, which tell the listeners (the main window, and any other
// window that shows or changes a setting) through the signals below. State flows one way: a
// control writes here, and only these signals move the controls.
class SettingsModel : public QObject {
    Q_OBJECT
public:
    explicit SettingsModel(QObject* parent = nullptr);

    const Presets& presets() const { return m_presets; }
    // Replaces all three presets (the settings file read at start); presetChanged follows.
    void setPresets(const Presets& presets);

    // 1 to 3 once a preset was selected, 0 before.
    std::uint8_t currentPresetNumber() const { return m_currentPreset; }
    // number: 1, 2 or 3; anything else is a programming error and is ignored. Choosing the
    // preset that is already current tells the listeners all the same: it is applied anew.
    void selectPreset(int number);

    // The current preset; preset 1 while none was selected yet.
    const SettingsPreset& current() const;

    // Writes one number of the current preset as given, even outside its slider's range.
    void setInteger(IntegerSettingId id, std::int32_t value);
    // A slider of the setting stands at position: the current preset takes it, unless the
    // slider only shows the preset's own number (clamped to its range). So a slider that follows
    // the model writes nothing back, and a number outside the range stays until the user moves
    // the slider away from it.
    void setSliderPosition(IntegerSettingId id, int position);
    // Writes the current preset's character set (windows-1250 bytes): a set typed or picked in
    // the main window, the next set of the progression, a drill set.
    void setChars(const std::string& chars);

    // Resets speed, spaces, tone, noise and chars of all three presets; straight stays.
    void restoreDefaults();

Q_SIGNALS:
    // One number of the current preset changed; value is the number as stored.
    void settingChanged(vortan::IntegerSettingId id, std::int32_t value);
    // The current preset's character set changed.
    void charsChanged();
    // Another preset became current, or the presets were replaced or reset: every setting of
    // the current preset may differ. presetNumber is the current preset's, 1 to 3.
    void presetChanged(int presetNumber);

private:
    SettingsPreset& currentPreset();

    Presets m_presets{};
    std::uint8_t m_currentPreset = 0;
};

} // namespace vortan
