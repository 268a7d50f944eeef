// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_file.h"

#include "base/errors.h"
#include "files/xdg_paths.h"
#include "settings/options_store.h"
#include "settings/profile_document.h"
#include "settings/profile_file.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace vortan {

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kLargestInteger = 2147483647;

std::string sectionName(std::size_t index)
{
    return "settings" + std::to_string(index + 1);
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Digits of the base; a value past `cap` stays at `cap`, so that no number of digits can
// overflow and a huge number is still known to be huge.
std::optional<std::int64_t> digitsValue(std::string_view digits, int base, std::int64_t cap)
{
    if (digits.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = std::min(value * base + digit, cap);
    }
    return value;
}

// The number the text spells in the settings file's integer grammar, held at +-(2^31 + 1)
// when larger.
std::optional<std::int64_t> wideInteger(std::string_view text)
{
    constexpr std::int64_t cap = kLargestInteger + 2;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    if (text.starts_with('$'))
        return digitsValue(text.substr(1), 16, cap);
    if (text.starts_with("0x") || text.starts_with("0X"))
        return digitsValue(text.substr(2), 16, cap);
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    const auto value = digitsValue(text, 10, cap);
    if (value && negative)
        return -*value;
    return value;
}

std::int32_t integerOr(const ProfileDocument& document, const std::string& section,
                       std::string_view key, std::int32_t fallback)
{
    const auto text = document.value(section, key);
    if (!text)
        return fallback;
    return parseSettingsInteger(*text).value_or(fallback);
}

// The six values of a preset as the file holds them, in the order a new file gets them: the
// character set comes before the straight-key ratio.
std::array<std::pair<std::string_view, std::string>, 6> fileValues(const SettingsPreset& preset)
{
    std::array<std::pair<std::string_view, std::string>, 6> values;
    std::size_t next = 0;
    for (const IntegerSetting& setting : kIntegerSettings) {
        if (setting.id == IntegerSettingId::Straight)
            values[next++] = {kCharsKey, preset.chars};
        values[next++] = {setting.key, std::to_string(preset.*setting.inPreset)};
    }
    return values;
}

} // namespace

std::optional<std::int32_t> parseSettingsInteger(std::string_view text)
{
    const auto value = wideInteger(text);
    if (!value || *value > kLargestInteger || *value < -kLargestInteger - 1)
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<int> settingsIntegerInRange(std::string_view text, int minimum, int maximum)
{
    const auto value = wideInteger(text);
    if (!value)
        return std::nullopt;
    return static_cast<int>(std::clamp<std::int64_t>(*value, minimum, maximum));
}

Presets presetsFrom(const ProfileDocument& document)
{
    Presets presets;
    for (std::size_t i = 0; i < presets.size(); ++i) {
        const std::string section = sectionName(i);
        SettingsPreset& preset = presets[i];
        for (const IntegerSetting& setting : kIntegerSettings)
            preset.*setting.inPreset = integerOr(document, section, setting.key, setting.start);
        // An empty value is an empty set; only a missing key gives the default.
        preset.chars = document.value(section, kCharsKey).value_or(std::string(kDefaultChars));
    }
    return presets;
}

void storeChangedPresets(ProfileDocument& document, const Presets& presets,
                         const Presets& readAtStart)
{
    for (std::size_t i = 0; i < presets.size(); ++i) {
        const std::string section = sectionName(i);
        const auto now = fileValues(presets[i]);
        const auto before = fileValues(readAtStart[i]);
        for (std::size_t k = 0; k < now.size(); ++k) {
            const auto& [key, value] = now[k];
            if (value != before[k].second || !document.value(section, key))
                document.setValue(section, key, value);
        }
    }
}

fs::path defaultSettingsFile()
{
    return xdg::configHome() / "vortan" / "vortan.ini";
}

void Odczytaj1Click(const fs::path& iniFile, Presets& presets, OptionsStore& options) noexcept
{
    try {
        const RegularFileBytes file = readRegularFile(iniFile, kMaxProfileFileBytes);
        const ProfileDocument document(file.state == RegularFileState::Read
                                           ? std::string_view(file.bytes)
                                           : std::string_view());
        presets = presetsFrom(document);
        options.load(document);
    } catch (...) {
        // Only running out of memory gets here; reading never fails the start.
        presets.fill(defaultPreset());
        options.load(ProfileDocument());
    }
}

void Zapisz1Click(const fs::path& iniFile, const Presets& presets, const Presets& readAtStart,
                  const OptionsStore& options)
{
    try {
        editProfileFile(iniFile, [&](ProfileDocument& document) {
            storeChangedPresets(document, presets, readAtStart);
            options.store(document);
        });
    } catch (const std::invalid_argument& error) {
        throw unableToWrite(iniFile.string(), error.what());
    }
}

} // namespace vortan
