#pragma once

#include "app/settings_preset.h"
#include "settings/transmission_tempo.h"

#include <cstdint>

namespace vortan {

// The program-level settings state: the three presets and which of them is current. The window
// shows the current preset in its sliders (clamped) while the preset keeps the numbers as read,
// so a value outside a slider's range survives until the user moves that slider.
class SettingsModel {
public:
    Presets& presets() { return m_presets; }
    const Presets& presets() const { return m_presets; }

    // 1 to 3 once a preset was selected, 0 before.
    std::uint8_t currentPresetNumber() const { return m_currentPreset; }
    // number: 1, 2 or 3; anything else is a programming error and is ignored.
    void selectPreset(int number);

    // The current preset; preset 1 while none was selected yet.
    SettingsPreset& current();
    const SettingsPreset& current() const;

    // Resets speed, spaces, tone, noise and chars of all three presets; straight stays.
    void restoreDefaults();

private:
    Presets m_presets{};
    std::uint8_t m_currentPreset = 0;
};

} // namespace vortan
