#pragma once

#include "synthesis/errors.h"
#include "synthesis/synthesizer.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vortan {

enum class TextEncoding { Windows1250, Utf8 };

// What a vortan-render command line asks for.
struct RenderOptions {
    SynthesisSettings settings;              // the program's start values unless given
    std::optional<std::uint32_t> seed;       // generator seed at start; 0 when not given
    std::optional<std::uint32_t> keyingSeed; // replaces the clock when re-seeding for keying
    TextEncoding encoding = TextEncoding::Windows1250; // of --text-file
    std::optional<std::string> text;                   // --text, in the locale's encoding (UTF-8)
    std::optional<std::string> textFile;               // --text-file; "-" is standard input
    std::string output;
    bool help = false;
};

// A command line that cannot be obeyed; the message names the option at fault.
class UsageError : public Error {
public:
    using Error::Error;
};

// Parses the arguments after the program name. Throws UsageError.
RenderOptions parseRenderArguments(std::span<const std::string_view> arguments);

// The --help text.
std::string renderUsage();

} // namespace vortan
