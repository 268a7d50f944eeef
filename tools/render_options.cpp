// SPDX-License-Identifier: GPL-3.0-or-later
#include "render_options.h"

#include "render_texts.h"
#include "settings/options_schema.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>

namespace vortan {

namespace {

std::int64_t parseInteger(std::string_view option, std::string_view value, std::int64_t low,
                          std::int64_t high)
{
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || error == std::errc::invalid_argument || end != value.data() + value.size())
        throw UsageError(withArguments(
            renderText("vortan-render", "%1 needs a whole number, not \"%2\""), {option, value}));
    if (error == std::errc::result_out_of_range || number < low || number > high)
        throw UsageError(
            withArguments(renderText("vortan-render", "%1 must lie between %2 and %3, not %4"),
                          {option, std::to_string(low), std::to_string(high), value}));
    return number;
}

struct OptionRule {
    std::string name;
    std::function<void(RenderOptions&, std::string_view option, std::string_view value)> apply;
};

std::string optionName(const IntegerSetting& setting)
{
    return "--" + std::string(setting.key);
}

// A slider setting: refused outside the slider's range, as the program's sliders would.
OptionRule settingRule(const IntegerSetting& setting)
{
    return {optionName(setting),
            [&setting](RenderOptions& options, std::string_view option, std::string_view value) {
                const int number =
                    static_cast<int>(parseInteger(option, value, setting.minimum, setting.maximum));
                options.settings.*setting.inRendering = number;
                options.given[static_cast<std::size_t>(setting.id)] = number;
            }};
}

OptionRule seedRule(std::string_view name, std::optional<std::uint32_t> RenderOptions::*field)
{
    return {std::string(name),
            [field](RenderOptions& options, std::string_view option, std::string_view value) {
                options.*field = static_cast<std::uint32_t>(
                    parseInteger(option, value, 0, std::numeric_limits<std::uint32_t>::max()));
            }};
}

// A band condition in its text form; the text's own message follows the option's name.
template <typename Apply> OptionRule conditionRule(std::string_view name, Apply apply)
{
    return {std::string(name),
            [apply](RenderOptions& options, std::string_view option, std::string_view value) {
                try {
                    apply(options.conditions, value);
                } catch (const UsageError&) {
                    throw;
                } catch (const Error& error) {
                    throw UsageError(std::string(option) + ": " + error.what());
                }
            }};
}

std::vector<OptionRule> conditionRules()
{
    return {
        conditionRule("--qsb", setQsb),
        conditionRule("--qrm",
                      [](BandConditions& conditions, std::string_view value) {
                          if (conditions.qrm.size() == kQrmMaxStations)
                              throw UsageError("--qrm may be given at most three times");
                          conditions.qrm.push_back(parseQrm(value));
                      }),
        conditionRule("--qrn", setQrn),
        conditionRule("--chirp", setChirp),
    };
}

const std::vector<OptionRule>& valueOptions()
{
    static const std::vector<OptionRule> rules = [] {
        std::vector<OptionRule> all;
        for (const IntegerSetting& setting : kIntegerSettings)
            all.push_back(settingRule(setting));
        for (OptionRule& rule : conditionRules())
            all.push_back(std::move(rule));
        all.insert(
            all.end(),
            {
                {"--preset",
                 [](RenderOptions& options, std::string_view option, std::string_view value) {
                     options.preset = static_cast<int>(parseInteger(option, value, 1, 3));
                 }},
                {"--settings",
                 [](RenderOptions& options, std::string_view, std::string_view value) {
                     options.settingsFile = std::string(value);
                 }},
                {"--rise",
                 [](RenderOptions& options, std::string_view option, std::string_view value) {
                     const ProgramOption& rise = programOption(OptionId::Rise);
                     options.riseMs =
                         static_cast<int>(parseInteger(option, value, rise.minimum, rise.maximum));
                 }},
                seedRule("--seed", &RenderOptions::seed),
                seedRule("--keying-seed", &RenderOptions::keyingSeed),
                {"--encoding",
                 [](RenderOptions& options, std::string_view option, std::string_view value) {
                     const std::optional<TextEncoding> encoding = encodingNamed(value);
                     if (!encoding)
                         throw UsageError(withArguments(
                             renderText("vortan-render", "%1 must be auto, utf-8 (utf8) or "
                                                         "windows-1250 (cp1250), not \"%2\""),
                             {option, value}));
                     options.encoding = *encoding;
                 }},
                {"--text", [](RenderOptions& options, std::string_view,
                              std::string_view value) { options.text = std::string(value); }},
                {"--text-file",
                 [](RenderOptions& options, std::string_view, std::string_view value) {
                     options.textFile = std::string(value);
                 }},
                {"--output", [](RenderOptions& options, std::string_view,
                                std::string_view value) { options.output = std::string(value); }},
            });
        return all;
    }();
    return rules;
}

// The columns UTF-8 text takes on a terminal: its characters (none of the texts is wide).
std::size_t columns(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char byte) { return (byte & 0xC0) != 0x80; }));
}

// The settings' descriptions as the schema holds them, marked here for translation; the help
// shows them through renderText.
[[maybe_unused]] constexpr const char* kSettingDescriptions[] = {
    VORTAN_RENDER_TEXT_NOOP("vortan-render", "sending speed in characters per minute"),
    VORTAN_RENDER_TEXT_NOOP("vortan-render", "extra dot lengths added to every gap"),
    VORTAN_RENDER_TEXT_NOOP("vortan-render", "tone frequency in Hz"),
    VORTAN_RENDER_TEXT_NOOP("vortan-render",
                            "noise level in sample steps, the tone's peak being 100"),
    VORTAN_RENDER_TEXT_NOOP("vortan-render", "straight-key timing jitter in hundredths"),
};

} // namespace

RenderOptions parseRenderArguments(std::span<const std::string_view> arguments)
{
    RenderOptions options;
    bool encodingGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view name = arguments[i];
        std::optional<std::string_view> value;
        if (name == "--help" || name == "-h") {
            options.help = true;
            return options;
        }
        if (name == "--version") {
            options.version = true;
            return options;
        }
        if (name == "--show-settings") {
            options.showSettings = true;
            continue;
        }
        if (const auto equals = name.find('='); name.starts_with("--") && equals != name.npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        const OptionRule* rule = nullptr;
        for (const OptionRule& candidate : valueOptions()) {
            if (candidate.name == name)
                rule = &candidate;
        }
        if (rule == nullptr)
            throw UsageError(withArguments(renderText("vortan-render", "unknown option \"%1\""),
                                           {arguments[i]}));
        if (!value) {
            if (i + 1 == arguments.size())
                throw UsageError(
                    withArguments(renderText("vortan-render", "%1 needs a value"), {name}));
            value = arguments[++i];
        }
        rule->apply(options, name, *value);
        encodingGiven = encodingGiven || name == "--encoding";
    }
    if (options.settingsFile && !options.preset)
        throw UsageError(
            renderText("vortan-render",
                       "--settings names the file to take --preset N from; give --preset too"));
    if (options.text && options.textFile)
        throw UsageError(
            renderText("vortan-render", "give either --text or --text-file, not both"));
    if (options.text && encodingGiven)
        throw UsageError(
            renderText("vortan-render", "--encoding is for --text-file; --text is always UTF-8"));
    if (options.showSettings)
        return options;
    if (!options.text && !options.textFile)
        throw UsageError(
            renderText("vortan-render", "no text: give --text TEXT or --text-file FILE"));
    if (options.output.empty())
        throw UsageError(renderText("vortan-render", "no output file: give --output FILE.wav"));
    return options;
}

void applyPreset(RenderOptions& options, const SettingsPreset& preset)
{
    const SynthesisSettings fromPreset = sliderSettings(preset);
    for (const IntegerSetting& setting : kIntegerSettings) {
        options.settings.*setting.inRendering =
            options.given[static_cast<std::size_t>(setting.id)].value_or(fromPreset.*
                                                                         setting.inRendering);
    }
}

std::string settingsListing(const SynthesisSettings& settings, std::string_view chars,
                            const BandConditions& conditions)
{
    // In the settings file's order: the character set before the straight-key ratio.
    std::string listing;
    for (const IntegerSetting& setting : kIntegerSettings) {
        if (setting.id == IntegerSettingId::Straight)
            listing += std::string(kCharsKey) + "=" + std::string(chars) + "\n";
        listing +=
            std::string(setting.key) + "=" + std::to_string(settings.*setting.inRendering) + "\n";
    }
    return listing + conditionsListing(conditions);
}

std::string renderUsage()
{
    std::string settingLines;
    for (const IntegerSetting& setting : kIntegerSettings) {
        std::string line = "  " + optionName(setting) + " N";
        line.resize(21, ' ');
        line +=
            withArguments(renderText("vortan-render", "%1, %2 to %3"),
                          {renderText("vortan-render", std::string(setting.description).c_str()),
                           std::to_string(setting.minimum), std::to_string(setting.maximum)});
        const std::string defaultText =
            " " + withArguments(renderText("vortan-render", "(default %1)"),
                                {std::to_string(setting.start)});
        // Wrapped as the other lines are, within 90 columns.
        line += columns(line) + columns(defaultText) > 90
                    ? "\n" + std::string(20, ' ') + defaultText
                    : defaultText;
        settingLines += line + "\n";
    }
    return renderText(
               "vortan-render",
               R"(Usage: vortan-render [OPTIONS] (--text TEXT | --text-file FILE) --output FILE.wav
       vortan-render [OPTIONS] --show-settings

Renders an exercise text as Morse code into an 8-bit mono 11025 Hz WAV file, exactly as
the program's Save WAV does.

)") + settingLines +
           renderText(
               "vortan-render",
               R"(  --rise MS          soft keying: every tone element rises and falls over MS milliseconds,
                     0 to 10 (default 0, the tone switched on and off at once)
  --qsb RATE:DEPTH   fading of the signal: RATE fades per second (0.05 to 2), DEPTH in dB
                     (0 to 30) between the 95th and the 5th percentile of its level
  --qrm OFFSET:LEVEL[:SPEED]
                     another station OFFSET Hz from the tone (-600 to 600), LEVEL dB
                     against the signal (-30 to 10), at SPEED characters per minute
                     (40 to 250; by default a speed of its own); up to three times
  --qrn RATE:LEVEL   static crashes, each under 50 ms: RATE per second (0 to 5), their
                     peak LEVEL dB against the signal (-30 to 20)
  --chirp HZ[:MS]    the tone starts HZ off at each key-down (-100 to 100) and settles
                     within MS milliseconds (1 to 500, default 30)
  --preset N         take the settings of preset N, 1 to 3, from the program's settings
                     file, as the window would use them (numbers outside a slider's range
                     go to its nearer end); the options above override them
  --settings FILE    take --preset from FILE in place of the user's settings file
  --show-settings    print the settings a rendering would use, one key=value line each,
                     and render nothing
  --seed N           start the random generator (noise) at seed N, 0 to 4294967295
                     (default 0, as when the program starts)
  --keying-seed N    seed for the straight-key jitter, in place of the milliseconds since
                     midnight UTC the program takes from the clock; fix it (and --seed) to get
                     the same file every time
  --text TEXT        the exercise text, in UTF-8
  --text-file FILE   read the exercise text from FILE; "-" reads standard input
  --encoding ENC     encoding of --text-file: auto (default), utf-8 or windows-1250
                     (also utf8, cp1250, in any case); auto takes a file that opens with
                     a byte-order mark as UTF-8 or UTF-16, one that is valid UTF-8 with
                     letters beyond ASCII as UTF-8, and any other as windows-1250, the
                     program's own format; it refuses one holding NUL bytes
  --output FILE      the WAV file to write, never the text file; an old file of that name
                     is replaced only once the new one is complete; "-" writes to standard
                     output
  -h, --help         show this help
      --version      show the version

Letters A-Z are sent as a-z; characters without a Morse code, and characters windows-1250
cannot hold, make no sound. Line breaks (LF or CR LF) count as word gaps. Options also take
the form --option=VALUE. When standard error is a terminal, a rendering that takes more
than a second shows its progress there.

Band conditions are off unless given, and the same seeds give the same conditions. Loud
stations or static can pass the 8-bit range; the samples are then held at its ends, and the
number of them is reported on standard error: lower LEVEL to avoid it.

Exit status: 0 done, 1 a file could not be read or written, 2 a wrong command line.
)");
}

std::string renderVersion()
{
    return "vortan-render " VORTAN_VERSION "\n";
}

} // namespace vortan
