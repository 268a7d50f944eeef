// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about/vortan2.h"
#include "app/check/check_copy_window.h"
#include "app/commands/command_runner.h"
#include "app/options/options_window.h"
#include "app/program/program_windows.h"
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
#include <QLabel>
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
        program = std::make_unique<ProgramWindows>(*form1, settings, options, history,
                                                   reportHistoryError);
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
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<ProgramWindows> program;
};

class ProgramWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theButtonsOpenTheirWindows()
    {
        Windows windows;
        windows.button("OptionsButton")->click();
        windows.button("CheckCopyButton")->click();
        windows.button("ProgressButton")->click();
        QVERIFY(windows.program->optionsWindow().isVisible());
        QVERIFY(windows.program->checkWindow().isVisible());
        QVERIFY(windows.program->progressWindow().isVisible());
        QVERIFY(windows.errors.isEmpty());
    }

    void aRenderingReachesTheCheckWhichCoversTheText()
    {
        Windows windows;
        // Played before the check window exists: it takes the rendering when it is made.
        windows.form1->findChild<QPlainTextEdit*>(u"Memo1"_s)->setPlainText(u"vvv =\nparis"_s);
        windows.button("SpeedItem1")->click(); // Play
        windows.button("CheckCopyButton")->click();
        CheckCopyWindow& check = windows.program->checkWindow();
        check.setHideWhileCopying(true);
        const auto* cover = windows.form1->findChild<QLabel*>(u"textCover"_s);
        QVERIFY(cover && !cover->isHidden());
        check.findChild<QPlainTextEdit*>(u"copyEdit"_s)->setPlainText(u"paris"_s);
        check.findChild<QAbstractButton*>(u"checkButton"_s)->click();
        QCOMPARE(windows.history.checkCount(), 1);
        QVERIFY(cover->isHidden());

        // A later rendering goes straight to the window that is there.
        auto* memo = windows.form1->findChild<QPlainTextEdit*>(u"Memo1"_s);
        memo->selectAll();
        memo->insertPlainText(u"vvv =\nq"_s); // as typed: the text is marked for rendering
        windows.button("SpeedItem1")->click();
        check.findChild<QPlainTextEdit*>(u"copyEdit"_s)->setPlainText(u"q"_s);
        check.findChild<QAbstractButton*>(u"checkButton"_s)->click();
        QCOMPARE(windows.history.checkCount(), 2);
        QVERIFY(windows.errors.isEmpty());
    }

    void theNextSetAndTheDrillSetReachTheCharacterSetBox()
    {
        Windows windows;
        const int next = static_cast<int>(kFirstProgressionSet) + 1;
        Q_EMIT windows.program->checkWindow().nextSetChosen(next);
        QCOMPARE(windows.settings.current().chars,
                 std::string(kCharacterSets[static_cast<std::size_t>(next)]));
        Q_EMIT windows.program->progressWindow().drillSetChosen(u"aabsst"_s);
        QCOMPARE(windows.settings.current().chars, std::string("aabsst"));
    }

    void softKeyingMakesTheNextPlayRenderAnew()
    {
        Windows windows;
        windows.button("SpeedItem1")->click();
        QVERIFY(!windows.marked());
        Q_EMIT windows.program->optionsWindow().softKeyingChanged(5);
        QVERIFY(windows.marked());
    }
};

QTEST_MAIN(ProgramWindowsTest)
#include "program_windows_test.moc"
