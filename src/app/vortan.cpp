// The program: builds the program-level state, the sound server and the two windows, and runs
// the event loop until the main window closes or the session ends.

#include "app/about/applicationIcon.h"
#include "app/about/vortan2.h"
#include "app/settings_model.h"
#include "app/temporary_sound_file.h"
#include "app/termination_signals.h"
#include "app/vortan1.h"
#include "settings/settings_file.h"
#include "sound/pulse_connection.h"
#include "sound/pulse_player.h"
#include "sound/pulse_volume.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortan"));
    QApplication::setDesktopFileName(QStringLiteral("vortan"));
    QApplication::setWindowIcon(vortan::applicationIcon());

    vortan::RandomGenerator random;
    const vortan::SystemClock clock;
    vortan::Synthesizer synthesizer(random, clock);
    vortan::SettingsModel settings;
    vortan::PulseConnection soundServer;
    vortan::PulsePlayer player(soundServer);
    vortan::PulseVolume outputVolume(soundServer);

    const vortan::ProgramContext context{settings,
                                         synthesizer,
                                         random,
                                         clock,
                                         &player,
                                         &outputVolume,
                                         vortan::defaultSettingsFile(),
                                         vortan::temporarySoundFilePath()};
    vortan::TForm1 form1(context);
    vortan::TForm2 form2; // hidden until About
    form1.setAboutWindow(&form2);

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
