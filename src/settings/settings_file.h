// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settings_preset.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace vortan {

class OptionsStore;
class ProfileDocument;

// $XDG_CONFIG_HOME/vortan/vortan.ini, or ~/.config/vortan/vortan.ini when XDG_CONFIG_HOME is
// unset, empty or not an absolute path.
std::filesystem::path defaultSettingsFile();

// Reads the three presets (sections settings1 to settings3) and the options from one reading of
// the file. A missing, unreadable or odd file (a folder, a FIFO, more than 1 MiB) gives the
// defaults; never throws.
void Odczytaj1Click(const std::filesystem::path& iniFile, Presets& presets,
                    OptionsStore& options) noexcept;

// The write at the program's close, into the file's current content, replacing the file in one
// step. Of the presets, only the keys whose value differs from readAtStart (what Odczytaj1Click
// gave at start) are written, and any of the eighteen the file lacks, so a new file still gets
// them all in order; of the options, those the user changed (OptionsStore::store). Every other
// key, section and comment keeps what the file holds now, so that two running programs that
// changed different settings both keep their changes. Throws
// vortan::Error("Unable to write to <iniFile>: <why>") and leaves the old file untouched on
// failure.
void Zapisz1Click(const std::filesystem::path& iniFile, const Presets& presets,
                  const Presets& readAtStart, const OptionsStore& options);

// The presets a document holds, defaults where keys are missing or not numbers.
Presets presetsFrom(const ProfileDocument& document);

// Writes the presets' values that differ from readAtStart, and those the document lacks, per
// section in the order speed, spaces, tone, noise, chars, straight; leaves every other value as
// the document holds it. Throws std::invalid_argument for a character set holding a line feed
// or NUL byte.
void storeChangedPresets(ProfileDocument& document, const Presets& presets,
                         const Presets& readAtStart);

// An integer value of the settings file: optional leading blanks, then an optional sign and
// decimal digits, or "$", "0x" or "0X" and hexadecimal digits (with no sign before them).
// The value must fit a signed 32-bit integer, hexadecimal ones included, so $80000000 and
// above are no number. Anything else, an empty text included, is no number.
std::optional<std::int32_t> parseSettingsInteger(std::string_view text);

// A value of the same grammar as a slider takes it: a number outside minimum to maximum, however
// many digits it has, stands at the nearer end. Nothing for a text that is no number.
std::optional<int> settingsIntegerInRange(std::string_view text, int minimum, int maximum);

} // namespace vortan
