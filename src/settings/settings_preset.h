// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settings_schema.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace vortan {

// Where a slider of the setting stands for a preset's number: the nearer end when outside.
constexpr int sliderPosition(std::int32_t value, const IntegerSetting& setting)
{
    return std::clamp<std::int32_t>(value, setting.minimum, setting.maximum);
}

// The settings a rendering uses for a preset: its numbers where the window's sliders would
// stand, the nearer end of the range for a number outside it.
inline SynthesisSettings sliderSettings(const SettingsPreset& preset)
{
    SynthesisSettings settings;
    for (const IntegerSetting& setting : kIntegerSettings)
        settings.*setting.inRendering = sliderPosition(preset.*setting.inPreset, setting);
    return settings;
}

// What a missing settings file gives: the sliders' start positions and the default set.
inline SettingsPreset defaultPreset()
{
    SettingsPreset preset;
    for (const IntegerSetting& setting : kIntegerSettings)
        preset.*setting.inPreset = setting.start;
    preset.chars = std::string(kDefaultChars);
    return preset;
}

} // namespace vortan
