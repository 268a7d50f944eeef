// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exercise_text.h"
#include "app/exercise_text_box.h"
#include "app/exercise_text_commands.h"
#include "base/errors.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace vortan;
using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
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

private Q_SLOTS:
    void initTestCase() { restrictToWindows1250(m_memo); }
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void openMakesLineBreaksCrLfAndSaveWritesThemBack_data()
    {
        QByteArray everyByte; // LF comes after CR
        for (int byte = 0; byte < 256; byte += byte == '\t' ? 2 : 1)
            everyByte += byte == '\r' ? QByteArray("\r\n") : QByteArray(1, static_cast<char>(byte));
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("LF") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("mixed") << QByteArray("a\r\nb\n\rc\r") << QByteArray("a\r\nb\r\n\r\nc\r\n");
        QTest::newRow("every byte") << everyByte << everyByte;
    }

    void openMakesLineBreaksCrLfAndSaveWritesThemBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, expected);
        setUnmodified("keep");
        writeFile(path("in.txt"), file);
        openExerciseText(m_memo, path("in.txt"));
        QCOMPARE(text(), expected);
        QVERIFY(modified());
        writeFile(path("out.txt"), "an older and longer text");
        saveExerciseText(m_memo, path("out.txt"));
        QCOMPARE(readFile(path("out.txt")), expected);
    }

    void openThatFailsChangesNothingAndNeverWaits_data()
    {
        QTest::addColumn<QString>("name"); // in the test's folder unless absolute
        QTest::addColumn<QString>("message");
        QTest::newRow("FIFO") << QStringLiteral("fifo")
                              << QStringLiteral("Cannot open file %1: not a regular file");
        QTest::newRow("device") << QStringLiteral("/dev/zero")
                                << QStringLiteral("Cannot open file %1: not a regular file");
        QTest::newRow("too big") << QStringLiteral("big.txt")
                                 << QStringLiteral("Text exceeds memo capacity: %1: longer than ") +
                                        QString::number(kTextCapacityBytes) +
                                        QStringLiteral(" bytes");
    }

    void openThatFailsChangesNothingAndNeverWaits()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        QFile big(path("big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(kTextCapacityBytes + 1));
        const QString file = QDir(m_dir->path()).filePath(name);
        setUnmodified("keep");
        QCOMPARE(errorOf([&] { openExerciseText(m_memo, file); }), message.arg(file));
        QCOMPARE(text(), QByteArray("keep"));
        QVERIFY(!modified());
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
        QCOMPARE(error, u"Stream write error: "_s + path("target.txt") + u": File too large"_s);
        QCOMPARE(readFile(path("target.txt")), QByteArray("the old text"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("target.txt")});
    }
};

QTEST_MAIN(ExerciseTextCommandsTest)
#include "exercise_text_commands_test.moc"
