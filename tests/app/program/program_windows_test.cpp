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
#include "history/history_transfer.h"
#include "settings/character_sets.h"
#include "settings/options_schema.h"
#include "settings/options_store.h"
#include "support/fake_sound.h"
#include "support/program_harness.h"
#include "synthesis/random_generator.h"
#include "synthesis/synthesizer.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>

using namespace vortan;
using namespace Qt::StringLiterals;

namespace fs = std::filesystem;

namespace {

std::string fileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether a WAV file holds all the bytes its header announces (the header is written first).
bool wholeWav(const fs::path& file)
{
    const std::string bytes = fileBytes(file);
    if (bytes.size() < 8)
        return false;
    std::uint32_t riffBytes = 0;
    for (int i = 7; i >= 4; --i)
        riffBytes = riffBytes << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    return bytes.size() == std::size_t{riffBytes} + 8;
}

std::string renderedAgain(const SentExercise& sent, const fs::path& file)
{
    RandomGenerator random;
    random.setSeed(sent.bufferSeed);
    const FixedClock clock(sent.seed);
    Synthesizer synthesizer(random, clock);
    synthesizer.setBandConditions(sent.conditions);
    synthesizer.txtofile(file, sent.text, sent.settings, sent.riseMs);
    return fileBytes(file);
}

} // namespace

// The program's windows as main() builds and connects them, with a recording player.
struct Windows : test::ProgramHarness {
    Windows()
    {
        fs::create_directories(root() / "config");
        form1 = makeWindow({.settingsFile = root() / "config" / "vortan.ini",
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
        const auto* box = windows.form1->findChild<QComboBox*>(u"ComboBox1"_s);
        QCOMPARE(windows.settings.current().chars,
                 std::string(kCharacterSets[static_cast<std::size_t>(next)]));
        QCOMPARE(box->currentText(), QString::fromLatin1(kCharacterSets[std::size_t(next)]));
        Q_EMIT windows.program->progressWindow().drillSetChosen(u"aabsst"_s);
        QCOMPARE(windows.settings.current().chars, std::string("aabsst"));
        QCOMPARE(box->currentText(), u"aabsst"_s);
    }

    // A check read back from its row in the history file renders again to the very bytes that
    // were played, soft keying and band conditions included.
    void aKeptCheckRendersAgainByteForByte()
    {
        Windows windows;
        windows.options.setValue(OptionId::Rise, 4);
        windows.options.setValue(OptionId::LeadIn, 300);
        BandConditions conditions;
        conditions.qsbRate = 0.3;
        conditions.qsbDepthDb = 12;
        conditions.qrm = {{.offsetHz = 250, .levelDb = -6, .speed = 0}};
        conditions.qrnRate = 1.5;
        conditions.qrnLevelDb = -3;
        conditions.chirpHz = 40;
        windows.options.setConditions(conditions);
        windows.random.setSeed(0x5eed'1234); // not what the clock gives the sample pass
        windows.form1->findChild<QPlainTextEdit*>(u"Memo1"_s)->setPlainText(u"vvv =\nparis"_s);
        windows.button("SpeedItem1")->click(); // Play
        const fs::path played = windows.root() / "run" / "~ortan.wav";
        QTRY_VERIFY(wholeWav(played));
        windows.button("CheckCopyButton")->click();
        CheckCopyWindow& check = windows.program->checkWindow();
        check.findChild<QPlainTextEdit*>(u"copyEdit"_s)->setPlainText(u"paris"_s);
        check.findChild<QAbstractButton*>(u"checkButton"_s)->click();
        QVERIFY(windows.errors.isEmpty());

        const std::vector<CopyCheck> kept =
            readHistoryToImport(windows.history.file(), HistoryStore::kSchemaVersion);
        QCOMPARE(kept.size(), std::size_t{1});
        const SentExercise& sent = kept[0].sent;
        QVERIFY(sent == *windows.form1->lastSentExercise());
        QCOMPARE(sent.riseMs, 4);
        QCOMPARE(sent.leadInMs, 300);
        QCOMPARE(sent.bufferSeed, 0x5eed'1234u);
        QVERIFY(renderedAgain(sent, windows.root() / "again.wav") == fileBytes(played));
        // Each seed tells: another one renders other bytes.
        SentExercise otherBuffers = sent;
        ++otherBuffers.bufferSeed;
        QVERIFY(renderedAgain(otherBuffers, windows.root() / "other.wav") != fileBytes(played));
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
