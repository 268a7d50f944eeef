// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/check/check_copy_window.h"
#include "history/history_store.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <fstream>

using namespace vortan;

namespace {

SentExercise exercise(std::string text, std::string characterSet = "abstgj")
{
    SentExercise sent;
    sent.text = std::move(text);
    sent.settings = {.speed = 60, .spaces = 2};
    sent.characterSet = std::move(characterSet);
    sent.sentAtMs = 1700000000000;
    return sent;
}

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
    void checksTheLastRenderingOnceAndCopiesForItOnly();
    void coverHidesUntilCheckedAndComesBack();
    void nextSetOfferedOnlyWhenEarned_data();
    void nextSetOfferedOnlyWhenEarned();
    void historyErrorReportedResultStillShown();
    void keyboardAndScreenReaders();
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
                                   << QStringLiteral("Group 1: a missed.");
    QTest::newRow("5 heard as h, a stray x, a Polish letter")
        << QStringLiteral("ąbsxta ggjjh") << QStringLiteral("Accuracy: 80.0 %")
        << QStringLiteral("Right 8 of 10 · Errors 3: wrong 2, missed 0, extra 1")
        << QStringLiteral("Group 1: a written as ą. Group 1: extra x. Group 2: 5 written as h.");
}

void TestCheckCopyWindow::resultShownAndKept()
{
    QFETCH(QString, copy);
    QFETCH(QString, accuracy);
    QFETCH(QString, counts);
    QFETCH(QString, summaryEnd);
    Fixture f;
    f.window.setSentExercise(exercise("vvv =\r\nabsta ggjj5\r\n"));
    f.window.show();
    f.typeAndCheck(copy);

    QCOMPARE(f.text("accuracyLabel"), accuracy);
    QCOMPARE(f.text("countsLabel"), counts);
    QVERIFY2(f.text("summaryLabel").endsWith(summaryEnd), qPrintable(f.text("summaryLabel")));
    // The screen reader gets the same words with the aligned view.
    QCOMPARE(f.child<QTextBrowser>("alignedView")->accessibleDescription(), f.text("summaryLabel"));
    QCOMPARE(f.history.checkCount(), 1);
    QVERIFY(f.errors.isEmpty());
}

void TestCheckCopyWindow::checksTheLastRenderingOnceAndCopiesForItOnly()
{
    Fixture f;
    auto* check = f.child<QPushButton>("checkButton");
    QVERIFY(!check->isEnabled()); // nothing sent yet
    QVERIFY(f.text("statusLabel").startsWith(QStringLiteral("Nothing has been sent yet")));

    // The text box was edited and played again: the check is against what was played last.
    f.window.setSentExercise(exercise("aaaaa"));
    f.window.setSentExercise(exercise("abcde"));
    f.typeAndCheck(QStringLiteral("abcde"));
    QCOMPARE(f.text("accuracyLabel"), QStringLiteral("Accuracy: 100.0 %"));
    QCOMPARE(f.window.lastCheck()->sent.text, std::string("abcde"));

    // Marks that need no colour, in the aligned view.
    f.typeAndCheck(QStringLiteral("abxd"));
    QCOMPARE(f.child<QTextBrowser>("alignedView")->toPlainText(),
             QStringLiteral("Sent  abcde  \nCopy  abxd·  \n        * -  "));
    // Checked again after seeing the result: shown, not kept twice.
    QCOMPARE(f.history.checkCount(), 1);
    QVERIFY(f.text("statusLabel").startsWith(QStringLiteral("Checked again")));

    // A new rendering: the checked copy goes, the result too.
    f.window.setSentExercise(exercise("ccccc"));
    QVERIFY(f.child<QPlainTextEdit>("copyEdit")->toPlainText().isEmpty());
    QCOMPARE(f.text("accuracyLabel"), QStringLiteral("Accuracy: -"));
    QVERIFY(!check->isEnabled());
    // A copy typed before the next rendering was made stays: it was typed for it.
    f.child<QPlainTextEdit>("copyEdit")->setPlainText(QStringLiteral("ddddd"));
    f.window.setSentExercise(exercise("ddddd"));
    QCOMPARE(f.child<QPlainTextEdit>("copyEdit")->toPlainText(), QStringLiteral("ddddd"));
    QVERIFY(check->isEnabled());
}

void TestCheckCopyWindow::coverHidesUntilCheckedAndComesBack()
{
    Fixture f;
    QSignalSpy cover(&f.window, &CheckCopyWindow::textCoverChanged);
    f.window.setSentExercise(exercise("abcde"));
    f.window.showCheck();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QVERIFY(!f.window.textCovered()); // off by default
    QVERIFY(!f.window.hideWhileCopying());

    QTRY_COMPARE(QApplication::focusWidget(), f.child<QPlainTextEdit>("copyEdit"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::AltModifier); // its mnemonic
    QTRY_VERIFY(f.window.hideWhileCopying()); // a mnemonic clicks after a short delay
    QVERIFY(f.window.textCovered());
    f.typeAndCheck(QStringLiteral("abcde"));
    QVERIFY(!f.window.textCovered()); // the check is made: the text may be read
    f.window.setSentExercise(exercise("fghij"));
    QVERIFY(f.window.textCovered()); // the next rendering is covered again
    f.window.hide();
    QVERIFY(!f.window.textCovered()); // no cover without the window that explains it
    f.window.show();
    QVERIFY(f.window.textCovered());
    f.window.setHideWhileCopying(false);
    QVERIFY(!f.window.textCovered());

    QList<bool> changes;
    for (const QList<QVariant>& signal : cover)
        changes << signal.at(0).toBool();
    QCOMPARE(changes, (QList<bool>{true, false, true, false, true, false}));
}

void TestCheckCopyWindow::nextSetOfferedOnlyWhenEarned_data()
{
    QTest::addColumn<QString>("set");
    QTest::addColumn<QString>("earlierCopy"); // of "ggggg jjjjj ggggg jjjjj", checked 2 times
    QTest::addColumn<QString>("copy");        // of "absgj absgj"
    QTest::addColumn<int>("offer");           // -1: none

    QTest::newRow("earned") << QStringLiteral("abstgj") << QStringLiteral("ggggg jjjjj ggggg jjjjj")
                            << QStringLiteral("absgj absgj") << 7;
    QTest::newRow("too few samples of the new characters")
        << QStringLiteral("abstgj") << QString() << QStringLiteral("absgj absgj") << -1;
    QTest::newRow("new character weak, total good")
        << QStringLiteral("abstgj") << QStringLiteral("ggggg jjjjh ggggg jjjjh")
        << QStringLiteral("absgj absgj") << -1;
    QTest::newRow("check below 90 %")
        << QStringLiteral("abstgj") << QStringLiteral("ggggg jjjjj ggggg jjjjj")
        << QStringLiteral("absgj ab") << -1;
    QTest::newRow("last set") << QStringLiteral("abstgjnokqfmzixdrhewlypvcu8219376450?!/=")
                              << QStringLiteral("ggggg jjjjj ggggg jjjjj")
                              << QStringLiteral("absgj absgj") << -1;
}

void TestCheckCopyWindow::nextSetOfferedOnlyWhenEarned()
{
    QFETCH(QString, set);
    QFETCH(QString, earlierCopy);
    QFETCH(QString, copy);
    QFETCH(int, offer);
    Fixture f;
    const std::string chars = set.toStdString();
    for (int i = 0; i < 2 && !earlierCopy.isEmpty(); ++i) {
        f.history.addCheck(checkCopy(exercise("ggggg jjjjj ggggg jjjjj", chars),
                                     earlierCopy.toStdString(), 1700000000000 + i));
    }
    QSignalSpy chosen(&f.window, &CheckCopyWindow::nextSetChosen);
    f.window.setSentExercise(exercise("absgj absgj", chars));
    f.window.show();
    f.typeAndCheck(copy);

    auto* next = f.child<QPushButton>("nextSetButton");
    QCOMPARE(next->isVisible(), offer >= 0);
    if (offer < 0)
        return;
    QCOMPARE(next->text(), QStringLiteral("&Next set: abstgjn"));
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toInt(), offer);
    QVERIFY(!next->isVisible());
}

void TestCheckCopyWindow::historyErrorReportedResultStillShown()
{
    Fixture f;
    std::ofstream(f.file, std::ios::binary) << std::string(4096, 'x'); // not a database
    f.window.setSentExercise(exercise("abcde"));
    f.window.show();
    f.typeAndCheck(QStringLiteral("abcdf"));
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors.at(0).startsWith(QStringLiteral("Cannot open the history file ")),
             qPrintable(f.errors.at(0)));
    QCOMPARE(f.text("accuracyLabel"), QStringLiteral("Accuracy: 80.0 %"));
    QVERIFY(f.text("statusLabel").startsWith(QStringLiteral("Not kept")));
    QVERIFY(!f.child<QPushButton>("nextSetButton")->isVisible());
}

void TestCheckCopyWindow::keyboardAndScreenReaders()
{
    Fixture f;
    f.window.setSentExercise(exercise("abcde"));
    f.window.showCheck();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QTRY_COMPARE(QApplication::focusWidget(), f.child<QPlainTextEdit>("copyEdit"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("abcde"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.text("accuracyLabel"), QStringLiteral("Accuracy: 100.0 %"));

    // Tab reaches every control that takes the focus, each with a name for the screen reader.
    QSet<QWidget*> reached;
    for (int i = 0; i < 12; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(!focus->accessibleName().isEmpty(), qPrintable(focus->objectName()));
        reached << focus;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (QWidget* widget : f.window.findChildren<QWidget*>()) {
        if (widget->isVisible() && widget->focusPolicy() & Qt::TabFocus)
            QVERIFY2(reached.contains(widget), qPrintable(widget->objectName()));
    }
    QTest::keyClick(&f.window, Qt::Key_Escape);
    QVERIFY(!f.window.isVisible());
}

QTEST_MAIN(TestCheckCopyWindow)
#include "check_copy_window_test.moc"
