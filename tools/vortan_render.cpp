// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/line_breaks.h"
#include "base/windows1250.h"
#include "files/io_errors.h"
#include "files/regular_file.h"
#include "files/replacing_file_writer.h"
#include "files/stop_request.h"
#include "files/symbolic_links.h"
#include "progress_line.h"
#include "render_options.h"
#include "render_texts.h"
#include "settings/options_store.h"
#include "settings/profile_document.h"
#include "settings/profile_file.h"
#include "settings/settings_file.h"
#include "synthesis/synthesizer.h"
#include "text_encoding.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace vortan;

// How a file is named in messages: as given, and "-" as the stream it stands for.
std::string shownName(const std::string& fileName, const std::string& stream)
{
    return fileName == "-" ? stream : fileName;
}

// Runs a step on one file; an error it raises gets the file's name before its message. A file
// error names its file already: the name as given, then the sentence and the system's reason.
template <typename Step> auto onFile(const std::string& shownName, Step step)
{
    try {
        return step();
    } catch (const StopRequested&) {
        throw; // no failure: the program ends as the signal asked
    } catch (const IoError& error) {
        throw Error(shownName + ": " + IoError::messageFor(error.errorNumber()) +
                    (error.reason().empty() ? "" : ": " + error.reason()));
    } catch (const Error& error) {
        throw Error(shownName + ": " + error.what());
    }
}

// At most `limit` bytes of a file, or of standard input for "-". An endless source (/dev/zero)
// ends with a message once past the limit, not with the memory gone.
std::string readInput(const std::string& fileName, std::size_t limit)
{
    RegularFileBytes input =
        fileName == "-" ? readInputDescriptor(STDIN_FILENO, limit) : readInputFile(fileName, limit);
    switch (input.state) {
    case RegularFileState::Read:
        return std::move(input.bytes);
    case RegularFileState::Missing:
        throw IoError(kFileNotFound, fileName, input.reason);
    case RegularFileState::NotRegular:
        throw IoError(kFileAccessDenied, fileName, input.reason);
    case RegularFileState::TooLarge:
        throw Error(
            withArguments(renderText("vortan-render", "Text exceeds what a WAV file can hold (%1)"),
                          {input.reason}));
    case RegularFileState::Unreadable:
        break;
    }
    throw Error(withArguments(renderText("vortan-render", "Cannot open file: %1"), {input.reason}));
}

// The exercise text as the window would hold it: windows-1250, CR LF line breaks.
std::string exerciseText(const RenderOptions& options)
{
    if (options.text)
        return onFile("--text",
                      [&] { return normalizeLineBreaks(windows1250::fromUtf8(*options.text)); });
    const std::string& fileName = *options.textFile;
    return onFile(shownName(fileName, renderText("vortan-render", "standard input")), [&] {
        // In UTF-8 a character may take four bytes.
        const auto limit = static_cast<std::size_t>(maxTextCharacters) *
                           (options.encoding == TextEncoding::Windows1250 ? 1 : 4);
        const std::string bytes = readInput(fileName, limit);
        return normalizeLineBreaks(windows1250Text(bytes, options.encoding));
    });
}

// The presets of a settings file named on the command line, read once from one open file: it
// must be there and be a regular file, and what is checked is what is read. (The user's own may
// be missing: the program starts with the defaults then.)
Presets namedSettingsPresets(const std::string& fileName)
{
    return onFile(fileName, [&] {
        const RegularFileBytes file = readRegularFile(fileName, kMaxProfileFileBytes);
        switch (file.state) {
        case RegularFileState::Read:
            return presetsFrom(ProfileDocument(file.bytes));
        case RegularFileState::Missing:
            throw IoError(kFileNotFound);
        case RegularFileState::NotRegular:
            throw Error(renderText("vortan-render", "Not a regular file"));
        case RegularFileState::Unreadable:
            throw IoError(kFileAccessDenied);
        case RegularFileState::TooLarge:
            break; // the program starts with the defaults then, and so does the renderer
        }
        return presetsFrom(ProfileDocument(std::string_view()));
    });
}

// The signal that asked a rendering to stop; 0 while none did.
volatile sig_atomic_t g_stopSignal = 0;

extern "C" void stopRendering(int signalNumber)
{
    g_stopSignal = signalNumber;
    requestStop(); // the writer stops at its next block and removes its temporary file
}

// While it lives, SIGTERM, SIGINT and SIGHUP stop the rendering instead of ending the program at
// once, so that no temporary file of gigabytes is left; signals ignored at start stay ignored.
class StopSignals {
public:
    StopSignals()
    {
        struct sigaction action {};
        action.sa_handler = stopRendering;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            ::sigaction(kSignals[i], nullptr, &m_previous[i]);
            if (m_previous[i].sa_handler != SIG_IGN)
                ::sigaction(kSignals[i], &action, nullptr);
        }
    }
    ~StopSignals()
    {
        for (std::size_t i = 0; i < kSignals.size(); ++i)
            ::sigaction(kSignals[i], &m_previous[i], nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Ends the program as the signal that stopped the rendering would have, so that its caller
    // sees the usual status.
    [[noreturn]] static void endAsSignalled()
    {
        const int signalNumber = g_stopSignal;
        if (signalNumber > 0) {
            ::signal(signalNumber, SIG_DFL);
            ::raise(signalNumber);
        }
        std::_Exit(128 + signalNumber); // only if the signal is blocked
    }

private:
    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};
    std::array<struct sigaction, 3> m_previous{};
};

// Refuses an output that is the text file under another name (or the same name): the rendering
// would replace the text it reads.
void checkOutputIsNotText(const RenderOptions& options)
{
    if (!options.textFile || *options.textFile == "-" || options.output == "-")
        return;
    struct stat text {};
    struct stat output {};
    if (::stat(options.textFile->c_str(), &text) == 0 &&
        ::stat(options.output.c_str(), &output) == 0 && text.st_dev == output.st_dev &&
        text.st_ino == output.st_ino)
        throw Error("--output " + options.output + " is the text file " + *options.textFile +
                    ": the rendering would replace the text");
}

void render(const RenderOptions& options, const std::string& text)
{
    RandomGenerator random;
    random.setSeed(options.seed.value_or(0));
    SystemClock systemClock;
    const FixedClock fixedClock(options.keyingSeed.value_or(0));
    const Clock& clock = options.keyingSeed ? static_cast<const Clock&>(fixedClock)
                                            : static_cast<const Clock&>(systemClock);
    auto synthesizer = std::make_unique<Synthesizer>(random, clock);
    synthesizer->setBandConditions(options.conditions);

    const std::string outputName =
        shownName(options.output, renderText("vortan-render", "standard output"));
    std::optional<ProgressLine> progress;
    if (::isatty(STDERR_FILENO)) {
        progress.emplace(std::cerr, outputName);
        const auto start = std::chrono::steady_clock::now();
        synthesizer->setProgressCallback(
            [&progress, start](std::int64_t written, std::int64_t all) {
                progress->show(written, all, std::chrono::steady_clock::now() - start);
            });
    }
    try {
        onFile(outputName, [&] {
            if (options.output == "-")
                synthesizer->txtodescriptor(STDOUT_FILENO, text, options.settings, options.riseMs);
            else
                // A device, or a pipe some program reads, is a fine target for a command-line
                // tool.
                synthesizer->txtofile(options.output, text, options.settings, options.riseMs,
                                      WriteRules{.allowDevices = true, .stopOnRequest = true});
        });
    } catch (...) {
        if (progress)
            progress->finish();
        throw;
    }
    if (progress)
        progress->finish();
    if (const std::int64_t clipped = synthesizer->lastClippedSamples(); clipped > 0)
        std::cerr << "vortan-render: " << clipped
                  << " samples clipped at the 8-bit range; lower the --qrm and --qrn levels\n";
}

int usageError(const std::string& message)
{
    std::cerr << "vortan-render: " << message << '\n'
              << renderText("vortan-render", "Try 'vortan-render --help'.") << '\n';
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    setTextLanguage(textLanguage(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                 std::getenv("LC_MESSAGES"), std::getenv("LANG")));
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    RenderOptions options;
    try {
        options = parseRenderArguments(arguments);
    } catch (const UsageError& error) {
        return usageError(error.what());
    }
    if (options.help || options.version) {
        std::cout << (options.help ? renderUsage() : renderVersion()) << std::flush;
        return std::cout ? 0 : 1;
    }
    if (options.output == "-" && !options.showSettings && ::isatty(STDOUT_FILENO))
        return usageError(renderText(
            "vortan-render", "standard output is a terminal: redirect it, or give --output FILE"));

    try {
        std::string chars(kDefaultChars);
        if (options.preset) {
            Presets presets;
            if (options.settingsFile) {
                presets = namedSettingsPresets(*options.settingsFile);
            } else {
                OptionsStore programOptions; // the renderer takes its options from its arguments
                Odczytaj1Click(defaultSettingsFile(), presets, programOptions);
            }
            const SettingsPreset& preset = presets[static_cast<std::size_t>(*options.preset - 1)];
            applyPreset(options, preset);
            chars = preset.chars;
        }
        if (options.showSettings) {
            std::cout << settingsListing(options.settings, chars, options.conditions) << std::flush;
            return std::cout ? 0 : 1;
        }
        checkOutputIsNotText(options);
        const std::string text = exerciseText(options);
        if (options.output != "-") {
            std::error_code linkError;
            const std::filesystem::path target = finalLinkTarget(options.output, linkError);
            if (!linkError)
                ReplacingFileWriter::removeLeftovers(target.parent_path());
        }
        const StopSignals stopSignals;
        render(options, text);
    } catch (const StopRequested&) {
        StopSignals::endAsSignalled();
    } catch (const Error& error) {
        std::cerr << "vortan-render: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
