// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's options: choices of the user that belong to no preset. They live in the
// settings file's section [options], never in the settingsN sections, and at their defaults
// the program sounds exactly as it does without them. The store, the Options window and the
// renderer's options take keys, ranges and defaults from this table.

#include <array>
#include <cstddef>
#include <string_view>

namespace vortan {

struct ProgramOptions {
    int riseMs = 0;   // rise and fall of every tone element, 0 being hard keying
    int leadInMs = 0; // quiet sound Play sends before the rendering, 0 being none
    // The learner's own time to press a key, as "Measure my reaction time" found it; taken off
    // recognition times. 0 being not measured. It changes no sound.
    int reactionMs = 0;

    bool operator==(const ProgramOptions&) const = default;
};

enum class OptionId { Rise, LeadIn, Reaction };

struct ProgramOption {
    OptionId id;
    std::string_view key;  // the key in [options]; the renderer's option is "--" + key
    std::string_view unit; // what the number counts, for help texts
    int minimum;
    int maximum;
    int start; // the value of a missing key
    int ProgramOptions::*field;
};

inline constexpr std::string_view kOptionsSection = "options";

inline constexpr std::array<ProgramOption, 3> kProgramOptions{{
    {OptionId::Rise, "rise", "ms", 0, 10, 0, &ProgramOptions::riseMs},
    {OptionId::LeadIn, "leadin", "ms", 0, 3000, 0, &ProgramOptions::leadInMs},
    {OptionId::Reaction, "reaction", "ms", 0, 2500, 0, &ProgramOptions::reactionMs},
}};

constexpr const ProgramOption& programOption(OptionId id)
{
    return kProgramOptions[static_cast<std::size_t>(id)];
}

} // namespace vortan
