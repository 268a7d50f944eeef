// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/progress/progress_window.h"
#include "history/history_store.h"
#include "support/history_fixture.h"

#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace vortan;

namespace {

constexpr std::int64_t kDayMs = 24 * 60 * 60 * 1000;

// A window on a history in a folder of its own; history errors are recorded.
struct Fixture : test::HistoryFixture {
    ProgressWindow window{history, reportError};

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
};

} // namespace

class TestProgressWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void figuresOfAKnownHistory();
    void importAddsWhatIsMissing();
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
             QStringLiteral("Checks: 3. Characters sent: 20. Accuracy 85.0 %."));
    // Weakest first: 5 (4 of 6), b (10 of 11), then a and h, all right; x only typed.
    // Nothing was typed along: no recognition times.
    QCOMPARE(f.rows("characterTable"),
             (QStringList{QStringLiteral("5|66.7 % of 6|6|4|2|h ×2|0|0|-"),
                          QStringLiteral("b|90.9 % of 11|11|10|0||1|0|-"),
                          QStringLiteral("a|100.0 % of 2|2|2|0||0|0|-"),
                          QStringLiteral("h|100.0 % of 1|1|1|0||0|0|-"),
                          QStringLiteral("x|-|0|0|0||0|1|-")}));
    QCOMPARE(f.rows("confusionTable"), QStringList{QStringLiteral("5|h|2")});

    // Checks by tempo, the tempo chart's figures as a table.
    QCOMPARE(f.rows("tempoTable"),
             (QStringList{QStringLiteral("48|1|5|60.0 %"), QStringLiteral("60|2|15|93.3 %")}));

    // Accuracy over time, a row per day, the newest first.
    const auto day = [](int daysAgo) {
        return QDateTime::fromMSecsSinceEpoch(QDateTime::currentMSecsSinceEpoch() -
                                              daysAgo * kDayMs)
            .date()
            .toString(Qt::ISODate);
    };
    QCOMPARE(f.rows("timeTable"), (QStringList{day(1) + QStringLiteral("|1|10|90.0 %"),
                                               day(2) + QStringLiteral("|1|5|60.0 %"),
                                               day(3) + QStringLiteral("|1|5|100.0 %")}));

    // 5 has too few samples to be called weak. Due: h, held three days ago (due after one day);
    // a, held two days ago and the day before (due after two); b, below 90 % yesterday.
    QCOMPARE(f.child<QLabel>("adviceLabel")->text(),
             QStringLiteral("No character with 10 or more recent samples is below 90 %. Due for "
                            "review today: h, a, b."));
    QVERIFY(f.errors.isEmpty());
}

void TestProgressWindow::importAddsWhatIsMissing()
{
    Fixture f;
    f.add("abs", "abs", "abs", 2);
    const std::filesystem::path otherFile =
        f.folder.filePath(QStringLiteral("other.sqlite")).toStdString();
    {
        HistoryStore other(otherFile);
        SentExercise exercise;
        exercise.text = "sab";
        exercise.characterSet = "abs";
        other.addCheck(checkCopy(exercise, "sab", QDateTime::currentMSecsSinceEpoch()));
    }
    f.window.showProgress();
    f.window.importFrom(otherFile);
    QCOMPARE(f.child<QLabel>("transferLabel")->text(),
             QStringLiteral("Checks added from other.sqlite: 1."));
    QCOMPARE(f.child<QLabel>("summaryLabel")->text(),
             QStringLiteral("Checks: 2. Characters sent: 6. Accuracy 100.0 %."));

    f.window.importFrom(f.folder.filePath(QStringLiteral("missing.csv")).toStdString());
    QCOMPARE(f.child<QLabel>("transferLabel")->text(), QStringLiteral("Nothing was imported."));
    QCOMPARE(f.errors.size(), 1);
}

QTEST_MAIN(TestProgressWindow)
#include "progress_window_test.moc"
