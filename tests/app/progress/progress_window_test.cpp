// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/progress/progress_window.h"
#include "history/history_store.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

using namespace vortan;

namespace {

constexpr std::int64_t kDayMs = 24 * 60 * 60 * 1000;

// A window on a history in a folder of its own; history errors are recorded.
struct Fixture {
    QTemporaryDir folder;
    std::filesystem::path file{folder.filePath(QStringLiteral("history.sqlite")).toStdString()};
    HistoryStore history{file};
    QStringList errors;
    ProgressWindow window{history, [this](std::string_view message) {
                              errors
                                  << QString::fromUtf8(message.data(), qsizetype(message.size()));
                          }};

    // A check of `sent` on `set`, `daysAgo` days before now, at the tempo of speed 60 with
    // `spaces` extra spacing (0: 60, 2: 48).
    void add(const std::string& set, const std::string& sent, const std::string& copy, int daysAgo,
             int spaces = 0)
    {
        SentExercise exercise;
        exercise.text = sent;
        exercise.characterSet = set;
        exercise.settings = {.speed = 60, .spaces = spaces};
        const std::int64_t at = QDateTime::currentMSecsSinceEpoch() - daysAgo * kDayMs;
        history.addCheck(checkCopy(exercise, copy, at));
    }

    template <typename T> T* child(const char* name)
    {
        T* found = window.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    // A table's cells, row by row, cells separated by "|".
    QStringList rows(const char* name)
    {
        QTableWidget* table = child<QTableWidget>(name);
        QStringList result;
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column)
                cells << table->item(row, column)->text();
            result << cells.join(QLatin1Char('|'));
        }
        return result;
    }

    int chartPoints(const char* name)
    {
        const QList<QAbstractSeries*> series = child<QChartView>(name)->chart()->series();
        return series.isEmpty() ? -1 : int(qobject_cast<QLineSeries*>(series.first())->count());
    }
};

} // namespace

class TestProgressWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void figuresOfAKnownHistory();
    void filtersByDateAndSet();
    void thresholdKeptWithTheHistory();
    void drillWeakCharacters();
    void historyErrorReported();
    void keyboardAndScreenReaders();
};

void TestProgressWindow::figuresOfAKnownHistory()
{
    Fixture f;
    f.add("ab5h", "ab5hb", "ab5hb", 3);              // all right, tempo 60
    f.add("ab5h", "5555a", "hh55a", 2, 2);           // 5 as h twice, tempo 48
    f.add("ab5h", "5bbbb bbbbb", "x 5bbbb bbbb", 1); // x extra, one b missed
    f.window.setCurrentCharacterSet("ab5h");
    f.window.showProgress();

    QCOMPARE(f.child<QLabel>("summaryLabel")->text(),
             QStringLiteral("3 checks, 20 characters sent, accuracy 85.0 %."));
    // Weakest first: 5 (4 of 6), b (10 of 11), then a and h, all right; x only typed.
    QCOMPARE(f.rows("characterTable"), (QStringList{QStringLiteral("5|66.7 % of 6|6|4|2|h ×2|0|0"),
                                                    QStringLiteral("b|90.9 % of 11|11|10|0||1|0"),
                                                    QStringLiteral("a|100.0 % of 2|2|2|0||0|0"),
                                                    QStringLiteral("h|100.0 % of 1|1|1|0||0|0"),
                                                    QStringLiteral("x|-|0|0|0||0|1")}));
    QCOMPARE(f.rows("confusionTable"), QStringList{QStringLiteral("5|h|2")});

    // Each chart has its figures as a table too, point for row.
    const QStringList times = f.rows("timeTable");
    QCOMPARE(times.size(), 3);
    QVERIFY2(times[1].endsWith(QStringLiteral("|48|5|60.0 %")), qPrintable(times[1]));
    QCOMPARE(f.chartPoints("timeChart"), 3);
    QCOMPARE(f.rows("tempoTable"),
             (QStringList{QStringLiteral("48|1|5|60.0 %"), QStringLiteral("60|2|15|93.3 %")}));
    QCOMPARE(f.chartPoints("tempoChart"), 2);
    QVERIFY(f.errors.isEmpty());
}

void TestProgressWindow::filtersByDateAndSet()
{
    Fixture f;
    f.add("abs", "aaaaa", "aaaaa", 40);
    f.add("abs", "sssss", "sssss", 10);
    f.add("abstgj", "ggggg", "jjjjj", 5);
    f.window.setCurrentCharacterSet("abs");
    f.window.showProgress();

    // The current set is chosen at first; the others are offered, the latest used first.
    auto* sets = f.child<QComboBox>("setFilter");
    QCOMPARE(sets->currentText(), QStringLiteral("abs"));
    QCOMPARE(sets->count(), 3);
    QCOMPARE(sets->itemText(1), QStringLiteral("abstgj"));
    QCOMPARE(f.rows("timeTable").size(), 2);

    sets->setCurrentIndex(0); // all sets
    QCOMPARE(f.rows("timeTable").size(), 3);
    QCOMPARE(f.rows("confusionTable"), QStringList{QStringLiteral("g|j|5")});

    // The last 30 days, both ends included.
    f.child<QCheckBox>("dateBox")->setChecked(true);
    QCOMPARE(f.rows("timeTable").size(), 2);
    f.child<QDateEdit>("toEdit")->setDate(QDate::currentDate().addDays(-6));
    QCOMPARE(f.rows("timeTable").size(), 1);
    QCOMPARE(f.child<QLabel>("summaryLabel")->text(),
             QStringLiteral("1 checks, 5 characters sent, accuracy 100.0 %."));
    f.child<QDateEdit>("fromEdit")->setDate(QDate::currentDate().addDays(-7));
    QVERIFY(f.rows("characterTable").isEmpty());
    QVERIFY(f.child<QLabel>("summaryLabel")->text().startsWith(QStringLiteral("No checks yet")));
}

void TestProgressWindow::thresholdKeptWithTheHistory()
{
    Fixture f;
    f.history.setAdvanceThresholdPercent(85);
    f.window.showProgress();
    auto* threshold = f.child<QSpinBox>("thresholdBox");
    QCOMPARE(threshold->value(), 85);
    threshold->setValue(95);
    QCOMPARE(HistoryStore(f.file).advanceThresholdPercent(), 95);
}

void TestProgressWindow::drillWeakCharacters()
{
    Fixture f;
    for (int i = 0; i < 5; ++i)
        f.add("AB5h", "ab5h ab5h ab5h", "ab5h abhh abhh", i);
    f.window.setCurrentCharacterSet("AB5h ");
    f.window.showProgress();
    QSignalSpy chosen(&f.window, &ProgressWindow::drillSetChosen);
    QTest::mouseClick(f.child<QPushButton>("drillButton"), Qt::LeftButton);
    QCOMPARE(chosen.count(), 1);
    const QString drill = chosen.at(0).at(0).toString();
    // 5 was wrong 10 times in 15, the others never: 5 most often, each other at least once,
    // in small letters and the set's order.
    QVERIFY2(drill.startsWith(QStringLiteral("ab5")) && drill.count(QLatin1Char('5')) > 5 &&
                 drill.count(QLatin1Char('a')) == 1 && drill.count(QLatin1Char('h')) == 1,
             qPrintable(drill));
    QCOMPARE(f.child<QLabel>("drillLabel")->text(), QStringLiteral("Drill set: ") + drill);

    f.window.setCurrentCharacterSet(" ,;");
    QVERIFY(!f.child<QPushButton>("drillButton")->isEnabled()); // nothing that sounds
}

void TestProgressWindow::historyErrorReported()
{
    Fixture f;
    std::ofstream(f.file, std::ios::binary) << std::string(4096, 'x'); // not a database
    f.window.showProgress();
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors.at(0).startsWith(QStringLiteral("Cannot open the history file ")),
             qPrintable(f.errors.at(0)));
    QCOMPARE(f.child<QLabel>("summaryLabel")->text(),
             QStringLiteral("The history could not be read."));
    QVERIFY(f.rows("characterTable").isEmpty());
}

void TestProgressWindow::keyboardAndScreenReaders()
{
    Fixture f;
    f.add("abs", "aaaaa", "aaaab", 1);
    f.window.setCurrentCharacterSet("abs");
    f.window.showProgress();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    f.child<QCheckBox>("dateBox")->setChecked(true); // the date fields take the focus then
    f.child<QCheckBox>("dateBox")->setFocus();
    QTRY_VERIFY(QApplication::focusWidget() != nullptr);

    // Tab reaches every control that takes the focus, each named for a screen reader.
    QSet<QWidget*> reached;
    for (int i = 0; i < 30; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QWidget* named = focus;
        while (named->accessibleName().isEmpty() && named->parentWidget() != &f.window)
            named = named->parentWidget(); // the line edit inside a spin box, say
        QVERIFY2(!named->accessibleName().isEmpty(), focus->metaObject()->className());
        reached << named;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (const char* name : {"dateBox", "fromEdit", "toEdit", "setFilter", "thresholdBox", "tabs",
                             "characterTable", "drillButton"}) {
        QVERIFY2(reached.contains(f.child<QWidget>(name)), name);
    }
    // Mnemonics: a page by its letter, then its table and chart are reached by Tab.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
    QTRY_COMPARE(f.child<QTabWidget>("tabs")->currentIndex(), 3);
    QTest::keyClick(&f.window, Qt::Key_Escape);
    QVERIFY(!f.window.isVisible());
}

QTEST_MAIN(TestProgressWindow)
#include "progress_window_test.moc"
