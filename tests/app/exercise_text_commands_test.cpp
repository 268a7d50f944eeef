#include "app/exercise_text.h"
#include "app/exercise_text_box.h"
#include "app/exercise_text_commands.h"
#include "base/errors.h"
#include "synthesis/random_generator.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QPlainTextEdit>
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
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
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

} // namespace

class ExerciseTextCommandsTest : public QObject {
    Q_OBJECT

private:
    QPlainTextEdit m_memo;
    std::unique_ptr<QTemporaryDir> m_dir;

    QByteArray text() const { return QByteArray::fromStdString(exerciseTextBytes(m_memo)); }
    bool modified() const { return m_memo.document()->isModified(); }
    QString path(const char* name) const { return m_dir->filePath(QString::fromLatin1(name)); }

    // A known text with the modified mark cleared, as after a Play.
    void setUnmodified(const QByteArray& bytes)
    {
        setExerciseTextBytes(m_memo, bytes.toStdString());
        m_memo.document()->setModified(false);
    }

private slots:
    void initTestCase() { restrictToWindows1250(m_memo); }
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void randomAppendsGroupsDrawnFromTheWholeSetAndClearStartsAnew()
    {
        // The second line after the first, no line break after an open last line; of 300
        // characters the last 256 are 'b' (a count kept in 8 bits would draw only the first 44).
        const struct {
            QByteArray before;
            QString set;
            QByteArray setBytes;
        } cases[] = {{"", QStringLiteral("\u0105b"), "\xb9\x62"},
                     {"abc", QString(44, u'a') + QString(256, u'b'),
                      QByteArray(44, 'a') + QByteArray(256, 'b')}};
        for (const auto& c : cases) {
            RandomGenerator reference; // seeded from the clock anew for every line
            reference.setSeed(45'296'789);
            QByteArray line;
            for (int i = 0; i < 36; ++i)
                line += i % 6 == 5 ? ' ' : c.setBytes[reference.nextBelow(c.setBytes.size())];
            setUnmodified(c.before);
            RandomGenerator generator;
            for (int i = 0; i < 2; ++i)
                appendRandomLine(m_memo, c.set, generator, FixedClock(45'296'789));
            QCOMPARE(text(), c.before.isEmpty() ? line + "\r\n" + line + "\r\n"
                                                : c.before + "\r\n" + line + "\r\n" + line);
            QVERIFY(modified());
        }
        for (const QString& set : {QString(), QStringLiteral("a")}) {
            setUnmodified("abc");
            RandomGenerator generator;
            appendRandomLine(m_memo, set, generator, FixedClock(777));
            QCOMPARE(text(), QByteArray("abc"));
            QVERIFY(!modified());
        }
        clearExerciseText(m_memo); // and Clear leaves the opening line
        QCOMPARE(text(), QByteArray("vvv =\r\n"));
        QVERIFY(modified());
    }

    void openMakesLineBreaksCrLfAndSaveWritesThemBack()
    {
        QByteArray everyByte; // LF comes after CR
        for (int byte = 0; byte < 256; byte += byte == '\t' ? 2 : 1)
            everyByte += byte == '\r' ? QByteArray("\r\n") : QByteArray(1, static_cast<char>(byte));
        const std::pair<QByteArray, QByteArray> cases[] = {{"a\nb\n", "a\r\nb\r\n"},
                                                           {"a\rb", "a\r\nb"},
                                                           {"a\r\nb\n\rc\r", "a\r\nb\r\n\r\nc\r\n"},
                                                           {"", ""},
                                                           {everyByte, everyByte}};
        for (const auto& [file, expected] : cases) {
            setUnmodified("keep");
            writeFile(path("in.txt"), file);
            openExerciseText(m_memo, path("in.txt"));
            QCOMPARE(text(), expected);
            QVERIFY(modified());
            writeFile(path("out.txt"), "an older and longer text");
            saveExerciseText(m_memo, path("out.txt"));
            QCOMPARE(readFile(path("out.txt")), expected);
        }
    }

    void openThatFailsChangesNothingAndNeverWaits()
    {
        const QString fifo = path("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QFile big(path("big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(kTextCapacityBytes + 1));
        const std::pair<QString, QString> cases[] = {
            {path("missing.txt"),
             "Cannot open file " + path("missing.txt") + ": No such file or directory"},
            {fifo, "Cannot open file " + fifo + ": not a regular file"},
            {"/dev/zero", "Cannot open file /dev/zero: not a regular file"},
            {path("big.txt"), "Text exceeds memo capacity: " + path("big.txt") + ": longer than " +
                                  QString::number(kTextCapacityBytes) + " bytes"},
        };
        for (const auto& [name, message] : cases) {
            setUnmodified("keep");
            QCOMPARE(errorOf([&] { openExerciseText(m_memo, name); }), message);
            QCOMPARE(text(), QByteArray("keep"));
            QVERIFY(!modified());
        }
    }

    void saveThatFailsKeepsTheOldFile()
    {
        writeFile(path("target.txt"), "the old text");
        setExerciseTextBytes(m_memo, std::string(64 * 1024, 'x'));
        // Past the file size limit every write fails, as on a full disk.
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit small{1000, saved.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString error = errorOf([&] { saveExerciseText(m_memo, path("target.txt")); });
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(error, "Stream write error: " + path("target.txt") + ": File too large");
        QCOMPARE(readFile(path("target.txt")), QByteArray("the old text"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"target.txt"});
    }

    void typedAndPastedCharactersOutsideTheCodePageBecomeQuestionMarks()
    {
        // One key event per character, as a keyboard or an input method sends it: ą is in the
        // code page, a CJK character is not, an emoji is two UTF-16 units but one "?", € is 0x80.
        setUnmodified("");
        for (const char* typed : {"\u0105", "\u4e2d", "\xf0\x9f\x98\x80", "\u20ac"}) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8(typed));
            QApplication::sendEvent(&m_memo, &press);
        }
        QApplication::clipboard()->setText(QString::fromUtf8("a\xf0\x9f\x98\x80\xf0\x9f\x98\x80"
                                                             "b\xc2\xa0\nc"));
        m_memo.paste();
        QCOMPARE(text(), QByteArray("\xb9??\x80\x61??b\xa0\r\nc"));
    }
};

QTEST_MAIN(ExerciseTextCommandsTest)
#include "exercise_text_commands_test.moc"
