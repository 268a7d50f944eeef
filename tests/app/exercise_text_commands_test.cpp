#include "app/exercise_text.h"
#include "app/exercise_text_box.h"
#include "app/exercise_text_commands.h"
#include "app/exercise_text_dialogs.h"
#include "synthesis/errors.h"
#include "synthesis/random_generator.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace vortan;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The message of the Error the call throws, or "<no error>".
template <typename Call> QString errorOf(Call call)
{
    try {
        call();
    } catch (const Error& error) {
        return QString::fromStdString(error.what());
    }
    return QStringLiteral("<no error>");
}

class FakeDialogs : public ExerciseTextDialogs {
public:
    std::optional<QString> answer;
    int asked = 0;
    std::optional<QString> askOpenFile(QWidget*) override { return ++asked, answer; }
    std::optional<QString> askSaveFile(QWidget*) override { return ++asked, answer; }
};

} // namespace

class ExerciseTextCommandsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QPlainTextEdit> m_memo;
    std::unique_ptr<QTemporaryDir> m_dir;

    QByteArray text() const { return QByteArray::fromStdString(exerciseTextBytes(*m_memo)); }
    bool modified() const { return m_memo->document()->isModified(); }
    QString path(const QString& name) const { return m_dir->filePath(name); }

    // A known text with the modified mark cleared, as after a Play.
    void setUnmodified(const QByteArray& bytes)
    {
        setExerciseTextBytes(*m_memo, bytes.toStdString());
        m_memo->document()->setModified(false);
    }

private slots:
    void init()
    {
        m_memo = std::make_unique<QPlainTextEdit>();
        restrictToWindows1250(*m_memo);
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup()
    {
        m_memo.reset();
        m_dir.reset();
    }

    void randomAppendsOneLineDrawnFromTheClockSeed_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("set");
        QTest::addColumn<QByteArray>("setBytes");
        QTest::newRow("empty text") << QByteArray() << "abs" << QByteArray("abs");
        QTest::newRow("ended line") << QByteArray("vvv =\r\n") << "xy" << QByteArray("xy");
        QTest::newRow("open line") << QByteArray("abc") << "abs" << QByteArray("abs");
        QTest::newRow("Polish") << QByteArray("a\r\n") << QString::fromUtf8("ąśż Ł")
                                << QByteArray("\xb9\x9c\xbf \xa3");
    }
    void randomAppendsOneLineDrawnFromTheClockSeed()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, set);
        QFETCH(QByteArray, setBytes);
        setUnmodified(before);
        RandomGenerator generator;
        const FixedClock clock(45'296'789);
        appendRandomLine(*m_memo, set, generator, clock);

        RandomGenerator fromClock;
        fromClock.setSeed(45'296'789);
        const QByteArray line =
            QByteArray::fromStdString(*randomLine(setBytes.toStdString(), fromClock));
        for (int i = 0; i < line.size(); ++i) {
            QVERIFY(i % 6 == 5 ? line[i] == ' ' : setBytes.contains(line[i]));
        }
        QCOMPARE(text(),
                 QByteArray::fromStdString(appendLine(before.toStdString(), line.toStdString())));
        QVERIFY(modified());
        // One undo takes the whole line away again.
        m_memo->undo();
        QCOMPARE(text(), before);
    }

    void randomTwiceKeepsTheFirstLine()
    {
        setUnmodified("");
        RandomGenerator generator;
        appendRandomLine(*m_memo, "abs", generator, FixedClock(1000));
        const QByteArray first = text();
        appendRandomLine(*m_memo, "abs", generator, FixedClock(2000));
        QVERIFY(text().startsWith(first));
        QCOMPARE(text().size(), 2 * 38);
        QVERIFY2(text().mid(38) != first, "a new seed gives a new line");
    }

    void randomWithFewerThanTwoCharactersDoesNothing()
    {
        for (const QString& set : {QString(), QStringLiteral("a")}) {
            setUnmodified("abc");
            RandomGenerator generator;
            appendRandomLine(*m_memo, set, generator, FixedClock(777));
            QCOMPARE(text(), QByteArray("abc"));
            QVERIFY(!modified());
            QCOMPARE(generator.seed(), 777u); // seeded all the same
        }
    }

    void randomThatDoesNotFitChangesNothing()
    {
        setUnmodified(QByteArray(static_cast<int>(kTextCapacityBytes) - 20, 'a'));
        RandomGenerator generator;
        QCOMPARE(errorOf([&] { appendRandomLine(*m_memo, "ab", generator, FixedClock(1)); }),
                 QStringLiteral("Text exceeds memo capacity"));
        QCOMPARE(exerciseTextByteCount(*m_memo), kTextCapacityBytes - 20);
        QVERIFY(!modified());
    }

    void clearLeavesTheOpeningLineAsOneUndoStep()
    {
        for (const QByteArray& before :
             {QByteArray(), QByteArray("vvv =\r\n"), QByteArray("one\r\ntwo\r\nthree")}) {
            setUnmodified(before);
            clearExerciseText(*m_memo);
            QCOMPARE(text(), QByteArray("vvv =\r\n"));
            QVERIFY(modified()); // also when nothing changed
            if (before != "vvv =\r\n") {
                m_memo->undo();
                QCOMPARE(text(), before);
            }
        }
    }

    void openMakesLineBreaksCrLfAndSetsTheMark_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("LF only") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("CR only") << QByteArray("a\rb") << QByteArray("a\r\nb");
        QTest::newRow("mixed") << QByteArray("a\r\nb\n\rc\r") << QByteArray("a\r\nb\r\n\r\nc\r\n");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("same as before") << QByteArray("keep") << QByteArray("keep");
        QTest::newRow("BOM is text") << QByteArray("\xef\xbb\xbfx") << QByteArray("\xef\xbb\xbfx");
    }
    void openMakesLineBreaksCrLfAndSetsTheMark()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, expected);
        setUnmodified("keep");
        writeFile(path("in.txt"), file);
        openExerciseText(*m_memo, path("in.txt"));
        QCOMPARE(text(), expected);
        QVERIFY(modified());
        // And Save writes it back as CR LF.
        saveExerciseText(*m_memo, path("out.txt"));
        QCOMPARE(readFile(path("out.txt")), expected);
    }

    void openRefusesWhatIsNotARegularFileAtOnce()
    {
        const QString fifo = path("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString& name :
             {path("missing.txt"), fifo, QStringLiteral("/dev/zero"), m_dir->path(), QString()}) {
            setUnmodified("keep");
            QCOMPARE(errorOf([&] { openExerciseText(*m_memo, name); }),
                     QStringLiteral("Cannot open file ") + name);
            QCOMPARE(text(), QByteArray("keep"));
            QVERIFY(!modified());
        }
    }

    void openOfAFileTooLargeChangesNothing()
    {
        setUnmodified("keep");
        QFile big(path("big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(static_cast<qint64>(kTextCapacityBytes) + 1));
        big.close();
        QCOMPARE(errorOf([&] { openExerciseText(*m_memo, path("big.txt")); }),
                 QStringLiteral("Text exceeds memo capacity"));
        QCOMPARE(text(), QByteArray("keep"));
        QVERIFY(!modified());
    }

    void everyByteValueSurvivesOpenThenSave()
    {
        QByteArray file;
        for (int byte = 0; byte < 256; ++byte) {
            file += static_cast<char>(byte);
            if (byte % 16 == 15) {
                file += "\r\n";
            }
        }
        file = QByteArray::fromStdString(normalizeLineBreaks(file.toStdString()));
        writeFile(path("all.txt"), file);
        openExerciseText(*m_memo, path("all.txt"));
        saveExerciseText(*m_memo, path("again.txt"));
        QCOMPARE(readFile(path("again.txt")), file);
    }

    void saveWritesBytesAndLeavesTheMark()
    {
        setUnmodified("");
        writeFile(path("old.txt"), "an older and longer text");
        saveExerciseText(*m_memo, path("old.txt"));
        QCOMPARE(readFile(path("old.txt")), QByteArray());
        QVERIFY(!modified());

        setExerciseTextBytes(*m_memo, "x\r\n\xb9");
        saveExerciseText(*m_memo, path("new.txt"));
        QCOMPARE(readFile(path("new.txt")), QByteArray("x\r\n\xb9"));
        QVERIFY(modified());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 2); // no temporary left
    }

    void saveThatCannotCreateKeepsTheOldFile()
    {
        setExerciseTextBytes(*m_memo, "new text");
        writeFile(path("readonly.txt"), "old");
        QFile::setPermissions(path("readonly.txt"), QFile::ReadOwner);
        writeFile(path("plainfile"), "a file, not a folder");
        for (const QString& name : {path("readonly.txt"), path("plainfile/x.txt"), m_dir->path(),
                                    QStringLiteral("/dev/null"), QString()}) {
            QCOMPARE(errorOf([&] { saveExerciseText(*m_memo, name); }),
                     QStringLiteral("Cannot create file ") + name);
        }
        QCOMPARE(readFile(path("readonly.txt")), QByteArray("old"));
        QCOMPARE(readFile(path("plainfile")), QByteArray("a file, not a folder"));
    }

    void saveThatFailsWritingKeepsTheOldFile()
    {
        // A limit on file size makes every write past it fail, as a full disk would.
        writeFile(path("target.txt"), "the old text");
        setExerciseTextBytes(*m_memo, std::string(64 * 1024, 'x'));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &previous), 0);
        rlimit small = previous;
        small.rlim_cur = 1000;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString error = errorOf([&] { saveExerciseText(*m_memo, path("target.txt")); });
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, SIG_DFL);
        QCOMPARE(error, QStringLiteral("Stream write error"));
        QCOMPARE(readFile(path("target.txt")), QByteArray("the old text"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"target.txt"});
    }

    void dialogsAskAndCancelChangesNothing()
    {
        FakeDialogs dialogs;
        setUnmodified("keep");
        openExerciseText(*m_memo, dialogs);
        saveExerciseText(*m_memo, dialogs);
        QCOMPARE(dialogs.asked, 2);
        QCOMPARE(text(), QByteArray("keep"));
        QVERIFY(!modified());
        QVERIFY(QDir(m_dir->path()).isEmpty());

        dialogs.answer = path("chosen.txt");
        saveExerciseText(*m_memo, dialogs);
        QCOMPARE(readFile(path("chosen.txt")), QByteArray("keep"));
        writeFile(path("chosen.txt"), "other");
        openExerciseText(*m_memo, dialogs);
        QCOMPARE(text(), QByteArray("other"));
    }

    void dialogFiltersOfferTextFilesOfBothCasesThenAll()
    {
        const QStringList filters = ExerciseTextDialogs::nameFilters();
        QCOMPARE(filters.size(), 2);
        QVERIFY(filters[0].startsWith(QStringLiteral("Pliki tekstowe")));
        // Linux names are case-sensitive, as the dialog matches them.
        const auto matches = [&](int i, const QString& name) {
            const qsizetype open = filters[i].indexOf(u'(');
            const QString inside = filters[i].mid(open + 1, filters[i].indexOf(u')') - open - 1);
            for (const QString& pattern : inside.split(u' ')) {
                if (QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive)
                        .match(name)
                        .hasMatch()) {
                    return true;
                }
            }
            return false;
        };
        QVERIFY(matches(0, QStringLiteral("A.TXT")));
        QVERIFY(matches(0, QStringLiteral("a.txt")));
        QVERIFY(!matches(0, QStringLiteral("a.wav")));
        QVERIFY(matches(1, QStringLiteral("noextension")));
    }
};

QTEST_MAIN(ExerciseTextCommandsTest)
#include "exercise_text_commands_test.moc"
