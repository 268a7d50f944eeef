#include "files/regular_file.h"
#include "render_options.h"
#include "settings/settings_file.h"
#include "synthesis/synthesizer.h"
#include "text_encoding.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

std::string exerciseText(const vortan::RenderOptions& options)
{
    using namespace vortan;
    if (options.text)
        return withCrLfLineBreaks(utf8ToWindows1250(*options.text));
    // Bounded, so that an endless input (/dev/zero) ends with a message, not out of memory; in
    // UTF-8 a character may take four bytes.
    const auto limit = static_cast<std::size_t>(maxTextCharacters) *
                       (options.encoding == TextEncoding::Utf8 ? 4 : 1);
    const std::string& name = *options.textFile;
    RegularFileBytes input =
        name == "-" ? readInputDescriptor(STDIN_FILENO, limit) : readInputFile(name, limit);
    if (input.state == RegularFileState::TooLarge)
        throw Error("Text exceeds what a WAV file can hold: " + name + ": " + input.reason);
    if (input.state != RegularFileState::Read)
        throw Error("Cannot open file " + name + ": " + input.reason);
    if (options.encoding == TextEncoding::Utf8)
        input.bytes = utf8ToWindows1250(input.bytes);
    return withCrLfLineBreaks(input.bytes);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace vortan;
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    RenderOptions options;
    try {
        options = parseRenderArguments(arguments);
    } catch (const UsageError& error) {
        std::cerr << "vortan-render: " << error.what() << "\nTry 'vortan-render --help'.\n";
        return 2;
    }
    if (options.help) {
        std::cout << renderUsage();
        return 0;
    }
    std::string chars(kDefaultChars);
    if (options.preset) {
        const std::filesystem::path file = options.settingsFile
                                               ? std::filesystem::path(*options.settingsFile)
                                               : defaultSettingsFile();
        Presets presets;
        Odczytaj1Click(file, presets);
        const SettingsPreset& preset = presets[static_cast<std::size_t>(*options.preset - 1)];
        applyPreset(options, preset);
        chars = preset.chars;
    }
    if (options.showSettings) {
        std::cout << settingsListing(options.settings, chars) << std::flush;
        return std::cout ? 0 : 1;
    }
    try {
        const std::string text = exerciseText(options);
        RandomGenerator random;
        random.setSeed(options.seed.value_or(0));
        SystemClock systemClock;
        const FixedClock fixedClock(options.keyingSeed.value_or(0));
        const Clock& clock = options.keyingSeed ? static_cast<const Clock&>(fixedClock)
                                                : static_cast<const Clock&>(systemClock);
        auto synthesizer = std::make_unique<Synthesizer>(random, clock);
        // A device or a pipe that some program reads is a fine target for a command-line tool.
        synthesizer->txtofile(options.output, text, options.settings,
                              WriteRules{.allowDevices = true});
    } catch (const Error& error) {
        std::cerr << "vortan-render: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
