#include "base/line_breaks.h"
#include "base/windows1250.h"
#include "render_options.h"
#include "settings/settings_file.h"
#include "synthesis/synthesizer.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <vector>

namespace {

std::string readAll(std::istream& in)
{
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string exerciseText(const vortan::RenderOptions& options)
{
    using namespace vortan;
    if (options.text)
        return normalizeLineBreaks(windows1250::fromUtf8(*options.text));
    std::string bytes;
    if (*options.textFile == "-") {
        bytes = readAll(std::cin);
    } else {
        std::ifstream file(*options.textFile, std::ios::binary);
        if (!file)
            throw Error("Cannot open file " + *options.textFile);
        bytes = readAll(file);
        if (file.bad())
            throw Error("Cannot open file " + *options.textFile);
    }
    if (options.encoding == TextEncoding::Utf8)
        bytes = windows1250::fromUtf8(bytes);
    return normalizeLineBreaks(bytes);
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
        synthesizer->txtofile(options.output, text, options.settings, options.riseMs);
    } catch (const Error& error) {
        std::cerr << "vortan-render: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
