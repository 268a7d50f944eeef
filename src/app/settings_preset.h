#pragma once

#include "synthesis/synthesizer.h"

#include <algorithm>
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

struct SliderRange {
    int minimum;
    int maximum;
    int start;
};

inline constexpr SliderRange kSpeedRange{40, 250, 60}, kSpacesRange{0, 10, 0},
    kToneRange{400, 2000, 600}, kNoiseRange{0, 50, 0}, kStraightRange{0, 100, 0};

inline constexpr std::string_view kDefaultChars = "abcdefghijklmnopqrstuvwxyz0123456789/=?!";

// Where a slider of the range stands for a preset's number: the nearer end when outside.
constexpr int sliderPosition(std::int32_t value, SliderRange range)
{
    return std::clamp<std::int32_t>(value, range.minimum, range.maximum);
}

// The settings a rendering uses for a preset: its numbers where the window's sliders would
// stand, the nearer end of the range for a number outside it.
inline SynthesisSettings sliderSettings(const SettingsPreset& preset)
{
    return {sliderPosition(preset.speed, kSpeedRange), sliderPosition(preset.spaces, kSpacesRange),
            sliderPosition(preset.tone, kToneRange), sliderPosition(preset.noise, kNoiseRange),
            sliderPosition(preset.straight, kStraightRange)};
}

// What a missing settings file gives: the sliders' start positions and the default set.
inline SettingsPreset defaultPreset()
{
    return {kSpeedRange.start, kSpacesRange.start,   kToneRange.start,
            kNoiseRange.start, kStraightRange.start, std::string(kDefaultChars)};
}

} // namespace vortan
