// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vortan {

// The five numbers a rendering takes, each within its slider's range (settings_schema.h).
struct SynthesisSettings {
    int speed = 60;   // characters per minute
    int spaces = 0;   // extra dot lengths per gap symbol
    int tone = 600;   // Hz
    int noise = 0;    // width of the uniform noise in sample steps
    int straight = 0; // straight-key jitter in hundredths

    bool operator==(const SynthesisSettings&) const = default;
};

} // namespace vortan
