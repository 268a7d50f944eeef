// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/errors.h"
#include "settings/band_conditions.h"
#include "settings/settings_preset.h"
#include "synthesis/synthesizer.h"
#include "text_encoding.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vortan {

// Settings given on the command line; they override a preset's.
// The settings given on the command line, in the order of kIntegerSettings.
using GivenSettings = std::array<std::optional<int>, kIntegerSettings.size()>;

// What a vortan-render command line asks for.
struct RenderOptions {
    SynthesisSettings settings;                 // the program's start values unless given
    GivenSettings given;                        // those of settings given explicitly
    std::optional<int> preset;                  // --preset N, 1 to 3
    std::optional<std::string> settingsFile;    // --settings FILE, in place of the user's own
    bool showSettings = false;                  // print the settings, render nothing
    std::optional<std::uint32_t> seed;          // generator seed at start; 0 when not given
    std::optional<std::uint32_t> keyingSeed;    // replaces the clock when re-seeding for keying
    int riseMs = 0;                             // --rise: soft keying's rise and fall, 0 = off
    BandConditions conditions;                  // --qsb, --qrm, --qrn, --chirp; off if not given
    TextEncoding encoding = TextEncoding::Auto; // of --text-file
    std::optional<std::string> text;            // --text, in the locale's encoding (UTF-8)
    std::optional<std::string> textFile;        // --text-file; "-" is standard input
    std::string output;                         // "-" is standard output
    bool help = false;
    bool version = false;
};

// A command line that cannot be obeyed; the message names the option at fault.
class UsageError : public Error {
public:
    using Error::Error;
};

// Parses the arguments after the program name. Throws UsageError.
RenderOptions parseRenderArguments(std::span<const std::string_view> arguments);

// The settings with those of a preset (from the settings file) under the ones given
// explicitly; the preset's numbers are clamped into the slider ranges, as the window does.
void applyPreset(RenderOptions& options, const SettingsPreset& preset);

// One "key=value" line per setting, in the settings file's order of keys; chars as its bytes;
// then one line per band condition in use.
std::string settingsListing(const SynthesisSettings& settings, std::string_view chars,
                            const BandConditions& conditions = {});

// The --help text.
std::string renderUsage();

// The --version text.
std::string renderVersion();

} // namespace vortan
