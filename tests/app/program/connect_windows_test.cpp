// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about/vortan2.h"
#include "app/check/check_copy_window.h"
#include "app/commands/command_runner.h"
#include "app/options/options_window.h"
#include "app/program/connect_windows.h"
#include "app/progress/progress_window.h"
#include "app/settings_model.h"
#include "app/vortan1.h"
#include "history/history_store.h"
#include "settings/character_sets.h"
#include "settings/options_store.h"
#include "support/fake_sound.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string_view>

using namespace vortan;
using namespace Qt::StringLiterals;

namespace fs = std::filesystem;

// The program's windows as main() builds and connects them, with a recording player.
struct Windows {
    Windows()
    {
        fs::create_directories(root() / "config");
        form1 = std::make_unique<TForm1>(
            MainWindowServices{.settings = settings,
                               .synthesizer = synthesizer,
                               .random = random,
                               .clock = clock,
                               .player = player,
                               .outputVolume = noOutput,
                               .commands = commands,
                               .aboutWindow = about,
                               .options = options},
            MainWindowFiles{.settingsFile = root() / "config" / "vortan.ini",
                            .temporarySoundFile = root() / "run" / "~ortan.wav"});
        connectWindows(*form1, settings, optionsWindow, checkWindow, progressWindow);
    }
    fs::path root() const { return dir.path().toStdString(); }
    QAbstractButton* button(const char* name) const
    {
        return form1->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    bool marked() const
    {
        return form1->findChild<QPlainTextEdit*>(u"Memo1"_s)->document()->isModified();
    }

    QTemporaryDir dir;
    RandomGenerator random;
    FixedClock clock{45'296'789};
    Synthesizer synthesizer{random, clock};
    SettingsModel settings;
    OptionsStore options;
    test::RecordingPlayer player;
    test::NoOutputVolume noOutput;
    QStringList errors;
    CommandRunner commands{[this](const QString& text) { errors << text; }};
    TForm2 about;
    HistoryStore history{root() / "history.sqlite"};
    const HistoryErrorReporter reportHistoryError = [this](std::string_view message) {
        errors << QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
    };
    OptionsWindow optionsWindow{options};
    CheckCopyWindow checkWindow{history, reportHistoryError};
    ProgressWindow progressWindow{history, reportHistoryError};
    std::unique_ptr<TForm1> form1;
};

class ConnectWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theButtonsOpenTheirWindows()
    {
        Windows windows;
        windows.button("OptionsButton")->click();
        windows.button("CheckCopyButton")->click();
        windows.button("ProgressButton")->click();
        QVERIFY(windows.optionsWindow.isVisible());
        QVERIFY(windows.checkWindow.isVisible());
        QVERIFY(windows.progressWindow.isVisible());
        QVERIFY(windows.errors.isEmpty());
    }

    void aRenderingReachesTheCheckWhichCoversTheText()
    {
        Windows windows;
        windows.checkWindow.setHideWhileCopying(true);
        windows.checkWindow.showCheck();
        QVERIFY(windows.form1->textCovered());
        windows.form1->findChild<QPlainTextEdit*>(u"Memo1"_s)->setPlainText(u"vvv =\nparis"_s);
        windows.button("SpeedItem1")->click(); // Play
        QVERIFY(windows.form1->lastSentExercise().has_value());
        QVERIFY(windows.form1->textCovered());
        // The check has the rendering: a copy of it is checked and kept, and the cover goes.
        windows.checkWindow.findChild<QPlainTextEdit*>(u"copyEdit"_s)->setPlainText(u"paris"_s);
        windows.checkWindow.findChild<QAbstractButton*>(u"checkButton"_s)->click();
        QCOMPARE(windows.history.checkCount(), 1);
        QVERIFY(!windows.form1->textCovered());
        QVERIFY(windows.errors.isEmpty());
    }

    void theNextSetAndTheDrillSetReachTheCharacterSetBox()
    {
        Windows windows;
        const int next = static_cast<int>(kFirstProgressionSet) + 1;
        Q_EMIT windows.checkWindow.nextSetChosen(next);
        QCOMPARE(windows.settings.current().chars,
                 std::string(kCharacterSets[static_cast<std::size_t>(next)]));
        Q_EMIT windows.progressWindow.drillSetChosen(u"aabsst"_s);
        QCOMPARE(windows.settings.current().chars, std::string("aabsst"));
    }

    void softKeyingMakesTheNextPlayRenderAnew()
    {
        Windows windows;
        windows.button("SpeedItem1")->click();
        QVERIFY(!windows.marked());
        Q_EMIT windows.optionsWindow.softKeyingChanged(5);
        QVERIFY(windows.marked());
    }
};

QTEST_MAIN(ConnectWindowsTest)
#include "connect_windows_test.moc"
