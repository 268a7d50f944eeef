// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every setting of a preset in one table: its key in the settings file, its slider's range, start
// and step, and where it lives in a preset and in a rendering's settings. The reader, the writer,
// the window's sliders, the synthesizer's range check and the renderer's options all use it.

#include "settings/synthesis_settings.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vortan {

// One preset of the six settings, named after their keys in the settings file. The numbers are
// kept as read, even outside the sliders' ranges; the window clamps them when it uses them.
struct SettingsPreset {
    std::int32_t speed = 0;    // characters per minute
    std::int32_t spaces = 0;   // extra dot lengths in every gap
    std::int32_t tone = 0;     // Hz
    std::int32_t noise = 0;    // sample steps, the tone's peak being 100
    std::int32_t straight = 0; // straight-key ratio in hundredths
    std::string chars;         // windows-1250 bytes for random exercises

    bool operator==(const SettingsPreset&) const = default;
};

using Presets = std::array<SettingsPreset, 3>; // presets 1, 2, 3 at indices 0, 1, 2

enum class IntegerSettingId { Speed, Spaces, Tone, Noise, Straight };

struct IntegerSetting {
    IntegerSettingId id;
    std::string_view key; // the key in the settings file; the renderer's option is "--" + key
    std::string_view description; // what the number means, for help texts
    int minimum;
    int maximum;
    int start; // the slider's start position, and the value of a missing key
    int step;  // the slider's page step and the distance between its ticks
    std::int32_t SettingsPreset::*inPreset;
    int SynthesisSettings::*inRendering;
};

// In the order of the sliders TrackBar1 to TrackBar5.
inline constexpr std::array<IntegerSetting, 5> kIntegerSettings{{
    {IntegerSettingId::Speed, "speed", "sending speed in characters per minute", 40, 250, 60, 5,
     &SettingsPreset::speed, &SynthesisSettings::speed},
    {IntegerSettingId::Spaces, "spaces", "extra dot lengths added to every gap", 0, 10, 0, 1,
     &SettingsPreset::spaces, &SynthesisSettings::spaces},
    {IntegerSettingId::Tone, "tone", "tone frequency in Hz", 400, 2000, 600, 100,
     &SettingsPreset::tone, &SynthesisSettings::tone},
    {IntegerSettingId::Noise, "noise", "noise level in sample steps, the tone's peak being 100", 0,
     50, 0, 1, &SettingsPreset::noise, &SynthesisSettings::noise},
    {IntegerSettingId::Straight, "straight", "straight-key timing jitter in hundredths", 0, 100, 0,
     10, &SettingsPreset::straight, &SynthesisSettings::straight},
}};

constexpr const IntegerSetting& integerSetting(IntegerSettingId id)
{
    return kIntegerSettings[static_cast<std::size_t>(id)];
}

inline constexpr std::string_view kCharsKey = "chars";
inline constexpr std::string_view kDefaultChars = "abcdefghijklmnopqrstuvwxyz0123456789/=?!";

// The defaults command's set: the same 40 characters, the last four signs in another order.
inline constexpr std::array<char, kDefaultChars.size()> kDefaultsCommandCharArray = [] {
    constexpr std::string_view lastSigns = "!?/=";
    std::array<char, kDefaultChars.size()> chars{};
    const std::size_t kept = kDefaultChars.size() - lastSigns.size();
    for (std::size_t i = 0; i < kept; ++i)
        chars[i] = kDefaultChars[i];
    for (std::size_t i = 0; i < lastSigns.size(); ++i)
        chars[kept + i] = lastSigns[i];
    return chars;
}();
inline constexpr std::string_view kDefaultsCommandChars(kDefaultsCommandCharArray.data(),
                                                        kDefaultsCommandCharArray.size());

} // namespace vortan
