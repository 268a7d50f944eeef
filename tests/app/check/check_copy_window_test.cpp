// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/check/check_copy_window.h"
#include "history/history_store.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace vortan;

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
}

QTEST_MAIN(TestCheckCopyWindow)
#include "check_copy_window_test.moc"
