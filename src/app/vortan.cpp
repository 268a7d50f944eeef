// SPDX-License-Identifier: GPL-3.0-or-later
// The program: builds the program-level state, the sound server and the two windows, and runs
// the event loop until the main window closes or the session ends.

#include "app/about/applicationIcon.h"
#include "app/about/vortan2.h"
#include "app/command_line.h"
#include "app/commands/command_runner.h"
#include "app/commands/error_box.h"
#include "app/language/interface_language.h"
#include "app/program/program_windows.h"
#include "app/settings_model.h"
#include "app/temporary_sound_file.h"
#include "app/termination_signals.h"
#include "app/vortan1.h"
#include "history/history_store.h"
#include "settings/options_store.h"
#include "settings/settings_file.h"
#include "sound/pulse_connection.h"
#include "sound/pulse_player.h"
#include "sound/pulse_volume.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>

int main(int argc, char* argv[])
{
    {
        // --help, --version and a wrong command line are answered without a display.
        const QCoreApplication commandLine(argc, argv);
        const vortan::InterfaceLanguage language;
        if (const auto exit = vortan::answerCommandLine(QCoreApplication::arguments())) {
            std::fputs(exit->standardOutput.toLocal8Bit().constData(), stdout);
            std::fputs(exit->standardError.toLocal8Bit().constData(), stderr);
            return std::fflush(stdout) == 0 ? exit->status : 1;
        }
    }
    QApplication application(argc, argv);
    // The desktop's language for every text beyond the specified captions.
    const vortan::InterfaceLanguage language;
    QApplication::setApplicationName(QStringLiteral("Vortan"));
    QApplication::setDesktopFileName(QStringLiteral("vortan"));
    QApplication::setWindowIcon(vortan::applicationIcon());

    // The services, owned here and lent to the windows, which must not outlive them.
    vortan::RandomGenerator random;
    const vortan::SystemClock clock;
    vortan::Synthesizer synthesizer(random, clock);
    vortan::SettingsModel settings;
    vortan::PulseConnection soundServer;
    vortan::PulsePlayer player(soundServer);
    vortan::PulseVolume outputVolume(soundServer);
    const vortan::CommandRunner commands; // the standard error box

    // A folder of this program's own for Play's file, removed when the program ends.
    const vortan::TemporarySoundFile temporarySoundFile;
    vortan::OptionsStore options;
    // Opened at the first check or view, not here: a long history costs the start nothing.
    vortan::HistoryStore history(vortan::HistoryStore::defaultFile());
    vortan::TForm2 form2; // hidden until About
    vortan::TForm1 form1({.settings = settings,
                          .synthesizer = synthesizer,
                          .random = random,
                          .clock = clock,
                          .player = player,
                          .outputVolume = outputVolume,
                          .commands = commands,
                          .aboutWindow = form2,
                          .options = options},
                         {.settingsFile = vortan::defaultSettingsFile(),
                          .temporarySoundFile = temporarySoundFile.path()});

    // The windows beside the main one, made when first opened.
    vortan::ProgramWindows programWindows(
        form1, settings, options, history, [](std::string_view message) {
            vortan::showErrorBox(QApplication::activeWindow(), vortan::errorBoxText(message));
        });

    // A logout or shutdown saves what a close saves, without asking anything.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &form1,
                     [&form1](QSessionManager&) { form1.endSession(); });
    vortan::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &vortan::TerminationSignals::terminationRequested, &form1,
                     [&form1] {
                         form1.endSession();
                         QCoreApplication::exit(0);
                     });
    // Closing the main window ends the program, even while the About window is open.
    QObject::connect(&form1, &vortan::TForm1::closed, &application,
                     [] { QCoreApplication::exit(0); });

    form1.show();
    return QApplication::exec();
}
