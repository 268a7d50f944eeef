// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/check/check_copy_window.h"
#include "app/check/reaction_time_dialog.h"
#include "history/history_store.h"
#include "synthesis/sound_timing.h"

#include <QAccessible>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace vortan;
using namespace Qt::StringLiterals;

namespace {

// A window on a history in a folder of its own; history errors are recorded.
struct Fixture {
    QTemporaryDir folder;
    std::filesystem::path file{folder.filePath(QStringLiteral("history.sqlite")).toStdString()};
    HistoryStore history{file};
    QStringList errors;
    CheckCopyWindow window{history, [this](std::string_view message) {
                               errors
                                   << QString::fromUtf8(message.data(), qsizetype(message.size()));
                           }};

    template <typename T> T* child(const char* name)
    {
        T* found = window.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    void typeAndCheck(const QString& copy)
    {
        child<QPlainTextEdit>("copyEdit")->setPlainText(copy);
        QTest::mouseClick(child<QPushButton>("checkButton"), Qt::LeftButton);
    }
    QString text(const char* label) { return child<QLabel>(label)->text(); }
};

} // namespace

class TestCheckCopyWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resultShownAndKept_data();
    void resultShownAndKept();
    void adviceAndNextSetAfterACheck();
    void checkKeptOnceTheLockEnds();
    void onlyWhatWasHeardIsChecked_data();
    void onlyWhatWasHeardIsChecked();
    void typeAlongTimesTheKeystrokesThatStay_data();
    void typeAlongTimesTheKeystrokesThatStay();
    void checkedWhenTheSoundEnds();
    void reactionTimeMeasured_data();
    void reactionTimeMeasured();
};

void TestCheckCopyWindow::resultShownAndKept_data()
{
    QTest::addColumn<QString>("copy");
    QTest::addColumn<QString>("accuracy");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QString>("summaryEnd");

    QTest::newRow("perfect, other case and spacing")
        << QStringLiteral("VVV =\nABSTA   ggjj5\n") << QStringLiteral("Accuracy: 100.0 %")
        << QStringLiteral("Right 10 of 10 · Errors 0: wrong 0, missed 0, extra 0")
        << QStringLiteral("No errors.");
    QTest::newRow("dropped group") << QStringLiteral("ggjj5") << QStringLiteral("Accuracy: 50.0 %")
                                   << QStringLiteral("Right 5 of 10 · Errors 5: wrong 0, "
                                                     "missed 5, extra 0")
                                   << QStringLiteral("Group 1 missed.");
    QTest::newRow("5 heard as h, a stray x, a Polish letter")
        << QStringLiteral("ąbsxta ggjjh") << QStringLiteral("Accuracy: 80.0 %")
        << QStringLiteral("Right 8 of 10 · Errors 3: wrong 2, missed 0, extra 1")
        << QStringLiteral("Group 1: a written as ą; group 2: 5 written as h. Group 1: extra x.");
}

void TestCheckCopyWindow::resultShownAndKept()
{
    QFETCH(QString, copy);
    QFETCH(QString, accuracy);
    QFETCH(QString, counts);
    QFETCH(QString, summaryEnd);
    Fixture f;
    SentExercise sent;
    sent.text = "vvv =\r\nabsta ggjj5\r\n";
    sent.settings = {.speed = 60, .spaces = 2};
    sent.characterSet = "abstgj";
    f.window.setSentExercise(sent);
    f.window.show();
    f.typeAndCheck(copy);

    QCOMPARE(f.text("accuracyLabel"), accuracy);
    QCOMPARE(f.text("countsLabel"), counts);
    QVERIFY2(f.text("summaryLabel").endsWith(summaryEnd), qPrintable(f.text("summaryLabel")));
    // The screen reader gets the same words with the aligned view.
    QCOMPARE(f.child<QTextBrowser>("alignedView")->accessibleDescription(), f.text("summaryLabel"));
    QCOMPARE(f.history.checkCount(), 1);
    QVERIFY(f.errors.isEmpty());

    // A screen reader: a dialog, result lines named by their words, the summary in focus.
    QCOMPARE(QAccessible::queryAccessibleInterface(&f.window)->role(), QAccessible::Dialog);
    for (const char* label : {"statusLabel", "accuracyLabel", "countsLabel", "summaryLabel"}) {
        QCOMPARE(
            QAccessible::queryAccessibleInterface(f.child<QLabel>(label))->text(QAccessible::Name),
            f.text(label));
    }
    QCOMPARE(f.window.focusWidget(), f.child<QLabel>("summaryLabel"));
}

// A stop is given as the sample heard then: `stopBefore` is the character (index in the sent
// text) whose sound had not begun yet, -1 for none (a Play to the end, or Save WAV).
void TestCheckCopyWindow::onlyWhatWasHeardIsChecked_data()
{
    QTest::addColumn<QList<int>>("stopsBefore");
    QTest::addColumn<QString>("copy");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<int>("keptSent");

    // Sent: "vvv =" and six groups of five, from index 6 on: "abcde fghij klmno ...".
    const QString afterTwo = QStringLiteral("Stopped after group 2: groups 3-6 are not checked.");
    const auto allRight = [](int sent) {
        return QStringLiteral("Right %1 of %1 · Errors 0: wrong 0, missed 0, extra 0").arg(sent);
    };
    QTest::newRow("stopped after group 2")
        << QList<int>{18} << QStringLiteral("abcde fghij") << afterTwo << allRight(10) << 10;
    QTest::newRow("stopped in the gap before group 3, the copy one letter short")
        << QList<int>{17} << QStringLiteral("abcde fhij") << afterTwo
        << QStringLiteral("Right 9 of 10 · Errors 1: wrong 0, missed 1, extra 0") << 10;
    QTest::newRow("stopped in group 6")
        << QList<int>{37} << QStringLiteral("abcde fghij klmno pqrst uvwxy z")
        << QStringLiteral("Stopped in group 6: the rest of it is not checked.") << allRight(26)
        << 26;
    QTest::newRow("stopped after group 5")
        << QList<int>{36} << QStringLiteral("abcde fghij klmno pqrst uvwxy")
        << QStringLiteral("Stopped after group 5: group 6 is not checked.") << allRight(25) << 25;
    QTest::newRow("stopped in group 1")
        << QList<int>{8} << QStringLiteral("ab")
        << QStringLiteral("Stopped in group 1: the rest of it and groups 2-6 are not checked.")
        << allRight(2) << 2;
    QTest::newRow("of two stops the later counts")
        << QList<int>{8, 18, 12} << QStringLiteral("abcde fghij") << afterTwo << allRight(10) << 10;
    QTest::newRow("stopped, then played to the end")
        << QList<int>{18, -1} << QStringLiteral("abcde fghij") << QString()
        << QStringLiteral("Right 10 of 30 · Errors 20: wrong 0, missed 20, extra 0") << 30;
    const QString nothing = QStringLiteral("Play was stopped before the first character "
                                           "sounded: there is nothing to check, and nothing is "
                                           "kept.");
    QTest::newRow("stopped in the lead-in")
        << QList<int>{0} << QStringLiteral("abcde") << nothing << QString() << 0;
    QTest::newRow("stopped in vvv =")
        << QList<int>{6} << QStringLiteral("abcde") << nothing << QString() << 0;
}

void TestCheckCopyWindow::onlyWhatWasHeardIsChecked()
{
    QFETCH(QList<int>, stopsBefore);
    QFETCH(QString, copy);
    QFETCH(QString, status);
    QFETCH(QString, counts);
    QFETCH(int, keptSent);
    Fixture f;
    SentExercise sent;
    sent.text = "vvv = abcde fghij klmno pqrst uvwxy zabcd";
    sent.settings = {.speed = 90, .straight = 30};
    sent.seed = 4242;
    const std::vector<CharacterSound> sounds = characterSounds(sent);
    f.window.setSentExercise(sent);
    f.window.show();
    for (const int before : stopsBefore) {
        // The last sample before that character's sound: everything up to it had begun.
        f.window.setHeardUntil(
            before < 0 ? std::nullopt
                       : std::optional<std::int64_t>(sounds[std::size_t(before)].beginSample - 1));
    }
    QCOMPARE(f.text("statusLabel"), status);
    f.typeAndCheck(copy);

    QCOMPARE(f.text("countsLabel"), counts);
    QVERIFY2(f.text("summaryLabel").startsWith(status), qPrintable(f.text("summaryLabel")));
    // The history holds only what was heard: unplayed letters never count as missed.
    QCOMPARE(f.history.checkCount(), keptSent > 0 ? 1 : 0);
    QCOMPARE(f.history.accuracyByConditions({}).plain.sent, std::int64_t{keptSent});
    QCOMPARE(f.window.focusWidget(), f.child<QLabel>("summaryLabel"));
    QVERIFY(f.errors.isEmpty());
}

void TestCheckCopyWindow::checkKeptOnceTheLockEnds()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("history.sqlite"));
    HistoryStore history{file.toStdString(), {.busyTimeout = std::chrono::milliseconds(50)}};
    QCOMPARE(history.checkCount(), 0); // made before another program takes it
    QStringList errors;
    CheckCopyWindow window{history, [&](std::string_view message) {
                               errors
                                   << QString::fromUtf8(message.data(), qsizetype(message.size()));
                           }};
    SentExercise sent;
    sent.text = "abcde fghij";
    window.setSentExercise(sent);
    window.show();
    auto* keepButton = window.findChild<QPushButton*>(QStringLiteral("keepButton"));
    auto* status = window.findChild<QLabel*>(QStringLiteral("statusLabel"));
    const auto check = [&] {
        window.findChild<QPlainTextEdit*>(QStringLiteral("copyEdit"))
            ->setPlainText(QStringLiteral("abcde fghij"));
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("checkButton")),
                          Qt::LeftButton);
    };
    {
        QSqlDatabase locker =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        locker.setDatabaseName(file);
        QVERIFY(locker.open());
        QSqlQuery lock(locker);
        QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));

        check();
        QCOMPARE(errors.size(), 1);
        QVERIFY(!keepButton->isHidden());
        QVERIFY2(status->text().startsWith(QStringLiteral("Not kept yet")),
                 qPrintable(status->text()));
        check(); // the same sending again: still the first check waits, once
        QCOMPARE(window.unkeptChecks().size(), std::size_t{1});
        QTest::mouseClick(keepButton, Qt::LeftButton); // still held: said again
        QCOMPARE(errors.size(), 2);

        QVERIFY(lock.exec(QStringLiteral("COMMIT")));
        lock.finish();
        locker.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    QTest::mouseClick(keepButton, Qt::LeftButton);
    QCOMPARE(history.checkCount(), 1);
    QVERIFY(keepButton->isHidden());
    QCOMPARE(status->text(), QStringLiteral("Kept in the history now."));
    QVERIFY(window.unkeptChecks().empty());
}

void TestCheckCopyWindow::adviceAndNextSetAfterACheck()
{
    Fixture f;
    SentExercise sent;
    sent.characterSet = "abs";
    sent.text = "sssss sssss";
    f.window.setSentExercise(sent);
    f.window.show();
    f.typeAndCheck(QStringLiteral("hhhhh sssss"));
    const QString advice = f.text("adviceLabel");
    QVERIFY2(advice.startsWith(QStringLiteral(
                 "Practise s: 50 % over the last 10, written as h 5 times. A check at 90 % with "
                 "a, b and s at 90 %")),
             qPrintable(advice));
    QVERIFY2(advice.endsWith(QStringLiteral("will offer the next set, abst, which adds t.")),
             qPrintable(advice));
    QVERIFY(f.child<QPushButton>("nextSetButton")->isHidden());

    // Twenty right of a and b, s all right over its last 50, and the check at 100 %: the next
    // set is offered, named.
    sent.text = "aaaaa bbbbb sssss aaaaa bbbbb sssss aaaaa bbbbb sssss aaaaa bbbbb sssss "
                "sssss sssss sssss sssss sssss";
    f.window.setSentExercise(sent);
    f.typeAndCheck(QString::fromLatin1(sent.text.c_str()));
    QCOMPARE(f.child<QPushButton>("nextSetButton")->text(),
             QStringLiteral("&Next set: abst (adds t)"));
    QVERIFY2(f.text("adviceLabel")
                 .endsWith(QStringLiteral(
                     "A check at 90 % will offer the next set, abst, which adds t.")),
             qPrintable(f.text("adviceLabel")));
    QVERIFY(f.errors.isEmpty());
}

// A keystroke: a key typed when the player told `frameAfterEnd` samples after the end of sent
// character `sentIndex`.
struct TimedKey {
    Qt::Key key;
    int sentIndex;
    int frameAfterEnd;
};
using TimedKeys = QList<TimedKey>;
using Times = std::vector<std::optional<RecognitionTime>>;
Q_DECLARE_METATYPE(TimedKeys)
Q_DECLARE_METATYPE(Times)

void TestCheckCopyWindow::typeAlongTimesTheKeystrokesThatStay_data()
{
    QTest::addColumn<bool>("typeAlong");
    QTest::addColumn<TimedKeys>("keys");
    QTest::addColumn<Times>("times");
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("reactionMs");
    // 441 samples are 40 ms.
    QTest::newRow("in order") << true << TimedKeys{{Qt::Key_A, 0, 441}, {Qt::Key_B, 1, 882}}
                              << Times{RecognitionTime{40}, RecognitionTime{80}}
                              << u"Recognition time: median 40 ms over 2 characters."_s << 0;
    QTest::newRow("corrected") << true
                               << TimedKeys{{Qt::Key_A, 0, 441},
                                            {Qt::Key_X, 1, 100},
                                            {Qt::Key_Backspace, 1, 200},
                                            {Qt::Key_B, 1, 1323}}
                               << Times{RecognitionTime{40}, RecognitionTime{120}}
                               << u"Group 1: a 40 ms, b 120 ms."_s << 0;
    QTest::newRow("anticipated") << true << TimedKeys{{Qt::Key_A, 0, -1}, {Qt::Key_B, 1, 441}}
                                 << Times{RecognitionTime{0, true}, RecognitionTime{40}}
                                 << u"Group 1: a typed before it ended, b 40 ms."_s << 0;
    QTest::newRow("reaction taken off")
        << true << TimedKeys{{Qt::Key_A, 0, 441}, {Qt::Key_B, 1, 882}}
        << Times{RecognitionTime{10}, RecognitionTime{50}}
        << u"Your reaction time of 30 ms, as measured, is taken off each of these times."_s << 30;
    QTest::newRow("off") << false << TimedKeys{{Qt::Key_A, 0, 441}, {Qt::Key_B, 1, 882}} << Times{}
                         << QString() << 0;
}

void TestCheckCopyWindow::typeAlongTimesTheKeystrokesThatStay()
{
    QFETCH(bool, typeAlong);
    QFETCH(TimedKeys, keys);
    QFETCH(Times, times);
    QFETCH(QString, words);
    QFETCH(int, reactionMs);
    Fixture f;
    f.window.setReactionMs(reactionMs);
    // Straight-key jitter: each character ends on a sample of its own.
    SentExercise sent;
    sent.text = "ab";
    sent.settings = {.speed = 90, .straight = 30};
    sent.seed = 4242;
    const std::vector<CharacterSound> sounds = characterSounds(sent);
    std::optional<std::int64_t> told;
    f.window.setHeardClock([&told] { return told; });
    f.window.setSentExercise(sent);
    f.window.setTypeAlong(typeAlong);
    f.window.show();
    auto* copy = f.child<QPlainTextEdit>("copyEdit");
    copy->setFocus();
    for (const TimedKey& key : keys) {
        told = sounds[std::size_t(key.sentIndex)].endSample + key.frameAfterEnd;
        QTest::keyClick(copy, key.key);
    }
    told.reset(); // played out
    QTest::mouseClick(f.child<QPushButton>("checkButton"), Qt::LeftButton);
    QCOMPARE(f.window.lastRecognitionTimes(), times);
    const QString summary = f.text("summaryLabel");
    if (words.isEmpty())
        QVERIFY2(!summary.contains(u"Recognition"_s), qPrintable(summary));
    else
        QVERIFY2(summary.contains(words), qPrintable(summary));
}

// Typing along with "Check when the sound ends": the check comes once the sound has ended and
// the typing of the last group has stopped, not before.
void TestCheckCopyWindow::checkedWhenTheSoundEnds()
{
    Fixture f;
    SentExercise sent;
    sent.text = "ab";
    sent.settings = {.speed = 90};
    std::optional<std::int64_t> told = 100;
    f.window.setHeardClock([&told] { return told; });
    f.window.setSentExercise(sent);
    f.window.setTypeAlong(true);
    f.window.setCheckWhenSoundEnds(true);
    f.window.show();
    auto* copy = f.child<QPlainTextEdit>("copyEdit");
    QTest::keyClick(copy, Qt::Key_A);
    QTest::qWait(200); // the window looks every 20 ms: it sees the sound playing
    told.reset();
    QTest::qWait(CheckCopyWindow::kCheckAfterEndMs / 2);
    QTest::keyClick(copy, Qt::Key_B); // the last group, typed after the end
    QTest::qWait(CheckCopyWindow::kCheckAfterEndMs / 3);
    QCOMPARE(f.history.checkCount(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(f.history.checkCount(), 1, CheckCopyWindow::kCheckAfterEndMs * 2);
    QCOMPARE(f.text("countsLabel"), u"Right 2 of 2 · Errors 0: wrong 0, missed 0, extra 0"_s);
}

// Each answer: milliseconds after its beep began, or a press early by that many (negative);
// a beep with no entry is not answered.
void TestCheckCopyWindow::reactionTimeMeasured_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("playsOut");
    QTest::addColumn<bool>("keep"); // or Escape
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("kept");

    const QList<int> all{250, 200, 300, 220, 260, 240, 230, 210, 280, 270};
    QTest::newRow("kept") << all << false << true
                          << u"Your reaction time: 240 ms, the median of 10 answered beeps."_s
                          << 240;
    QTest::newRow("Escape keeps the old time")
        << all << false << false << u"Your reaction time: 240 ms"_s << 123;
    QTest::newRow("early presses do not count")
        << QList<int>{-300, 250, -100, 200, 300, 220, 260, 240, 230, 210, 280, 270} << false << true
        << u"Your reaction time: 240 ms"_s << 240;
    QTest::newRow("too few answered before it played out")
        << QList<int>{250, 200, 300} << true << false
        << u"Only 3 of the beeps were answered, too few to give a time."_s << 123;
}

void TestCheckCopyWindow::reactionTimeMeasured()
{
    QFETCH(QList<int>, answers);
    QFETCH(bool, playsOut);
    QFETCH(bool, keep);
    QFETCH(QString, status);
    QFETCH(int, kept);
    Fixture f;
    std::optional<std::int64_t> told;
    int plays = 0;
    int stops = 0;
    f.window.setHeardClock([&told] { return told; });
    f.window.setReactionSound([&plays](const std::vector<std::uint8_t>&) { ++plays; },
                              [&stops] { ++stops; });
    f.window.setReactionMs(123);
    f.window.show();
    QString said;
    QTimer::singleShot(0, &f.window, [&] {
        auto* dialog = f.window.findChild<ReactionTimeDialog*>();
        QVERIFY(dialog);
        QTest::keyClick(dialog->findChild<QPushButton*>(u"startButton"_s), Qt::Key_Space);
        const std::vector<std::int64_t>& beeps = dialog->calibration()->beepStartFrames();
        std::size_t beep = 0;
        for (const int answer : answers) {
            told = beeps[beep] + std::int64_t{answer} * 11025 / 1000;
            QTest::keyClick(dialog, Qt::Key_Space);
            if (answer >= 0)
                ++beep;
        }
        if (playsOut) {
            told.reset();
            QTest::qWait(60);
        }
        said = dialog->findChild<QLabel*>(u"statusLabel"_s)->text();
        if (keep)
            QTest::mouseClick(dialog->findChild<QPushButton*>(u"keepButton"_s), Qt::LeftButton);
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
    });
    f.window.measureReactionTime();
    QVERIFY2(said.startsWith(status), qPrintable(said));
    QCOMPARE(f.window.reactionMs(), kept);
    QCOMPARE(plays, 1);
    QCOMPARE(stops, 1);
}

QTEST_MAIN(TestCheckCopyWindow)
#include "check_copy_window_test.moc"
