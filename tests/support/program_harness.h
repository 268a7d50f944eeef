// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/about/vortan2.h"
#include "app/commands/command_runner.h"
#include "app/settings_model.h"
#include "app/vortan1.h"
#include "settings/options_store.h"
#include "support/fake_sound.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QStringList>

#include <memory>

namespace vortan::test {

// The services main() owns, for a main window made by a test or a benchmark: a recording
// player, no output volume, errors recorded instead of shown, and a clock that stands still
// unless the caller gives another.
struct ProgramHarness {
    explicit ProgramHarness(const Clock* otherClock = nullptr)
        : clock(otherClock ? *otherClock : fixedClock)
    {
    }

    // The main window on these services; player, volume and synthesizer replace the harness's
    // own when given. The window reads its settings file at once.
    std::unique_ptr<TForm1> makeWindow(MainWindowFiles files, SoundPlayer* otherPlayer = nullptr,
                                       OutputVolume* otherVolume = nullptr,
                                       Synthesizer* otherSynthesizer = nullptr)
    {
        return std::make_unique<TForm1>(
            MainWindowServices{.settings = settings,
                               .synthesizer = otherSynthesizer ? *otherSynthesizer : synthesizer,
                               .random = random,
                               .clock = clock,
                               .player = otherPlayer ? *otherPlayer : player,
                               .outputVolume = otherVolume ? *otherVolume : noOutput,
                               .commands = commands,
                               .aboutWindow = about,
                               .options = options},
            std::move(files));
    }

    FixedClock fixedClock{45'296'789};
    const Clock& clock;
    RandomGenerator random;
    Synthesizer synthesizer{random, clock};
    SettingsModel settings;
    OptionsStore options;
    RecordingPlayer player;
    NoOutputVolume noOutput;
    QStringList errors;
    CommandRunner commands{[this](const QString& text) { errors << text; }};
    TForm2 about;
};

} // namespace vortan::test
