// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exercise_text.h"
#include "app/exercise_text_box.h"
#include "app/text_printer.h"
#include "base/errors.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace vortan;
using namespace Qt::StringLiterals;

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30'000) && process.exitCode() == 0
               ? QString::fromUtf8(process.readAllStandardOutput())
               : QString();
}

bool runs(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30'000) && process.exitCode() == 0;
}

// Whether the real print service of scripts/test-services.sh runs. When not, the test is
// skipped (or fails, where CI requires the services) and should return.
bool cupsRuns()
{
    if (qEnvironmentVariable("VORTAN_TEST_SERVICES").split(u' ').contains(u"cups"))
        return true;
    if (qEnvironmentVariable("VORTAN_REQUIRE_SERVICES") == QStringLiteral("1"))
        QTest::qFail("CUPS is not running (scripts/test-services.sh starts it as root)", __FILE__,
                     __LINE__);
    else
        QTest::qSkip("printing tests need CUPS with the PDF printer: run under "
                     "scripts/test-services.sh as root",
                     __FILE__, __LINE__);
    return false;
}

// A line of a PDF as pdftotext places its words, in points from the top left of its page.
struct PdfLine {
    int page;
    double x, y;
    QString text;
};

QList<PdfLine> pdfLines(const QString& pdf)
{
    static const QRegularExpression tag(
        QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    QList<PdfLine> lines;
    int page = -1;
    for (auto it = tag.globalMatch(
             run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
         it.hasNext();) {
        const auto match = it.next();
        const double y = match.captured(2).toDouble();
        if (match.captured(0) == QStringLiteral("<page "))
            ++page;
        else if (!lines.isEmpty() && lines.last().page == page && qAbs(lines.last().y - y) < 0.1)
            lines.last().text += u' ' + match.captured(3);
        else
            lines.append({page, match.captured(1).toDouble(), y, match.captured(3)});
    }
    return lines;
}

} // namespace

class TextPrinterTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_frozenService = -1;

private Q_SLOTS:
    void initTestCase()
    {
        // A stopped service leaves its socket file behind; a frozen one still takes connections
        // (the kernel queues them) but never reads them.
        const auto bound = [this](const char* name) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const QByteArray path = QFile::encodeName(m_dir.filePath(QString::fromLatin1(name)));
            std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
            return ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ? fd : -1;
        };
        const int dead = bound("dead.sock");
        QVERIFY(dead >= 0);
        ::close(dead);
        m_frozenService = bound("frozen.sock");
        QVERIFY(m_frozenService >= 0 && ::listen(m_frozenService, 16) == 0);
    }

    void cleanupTestCase() { ::close(m_frozenService); }

    void aPrintServiceThatIsDownOrFrozenIsSaidSoAtOnce_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("expected");
        // A socket file with no service behind it, as a stopped service leaves it; one that
        // takes connections but never answers, as a frozen one does.
        QTest::newRow("stopped") << m_dir.filePath(QStringLiteral("dead.sock"))
                                 << QStringLiteral("The print service is not running: %1: "
                                                   "Connection refused")
                                        .arg(m_dir.filePath(QStringLiteral("dead.sock")));
        QTest::newRow("frozen") << m_dir.filePath(QStringLiteral("frozen.sock"))
                                << QStringLiteral("The print service is not answering: %1")
                                       .arg(m_dir.filePath(QStringLiteral("frozen.sock")));
    }

    void aPrintServiceThatIsDownOrFrozenIsSaidSoAtOnce()
    {
        QFETCH(QString, server);
        QFETCH(QString, expected);
        // libcups reads the server's name once per thread: ask a new thread, after this one has
        // loaded the print support (and so keeps the real server).
        QPrinterInfo::defaultPrinterName();
        const QByteArray saved = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", QFile::encodeName(server));
        const QPlainTextEdit memo;
        QString message = QStringLiteral("<no error>");
        const auto started = std::chrono::steady_clock::now();
        std::thread([&] {
            try {
                printExerciseText(memo);
            } catch (const Error& error) {
                message = QString::fromStdString(error.what());
            }
        }).join();
        const auto waited = std::chrono::steady_clock::now() - started;
        saved.isNull() ? qunsetenv("CUPS_SERVER") : qputenv("CUPS_SERVER", saved);
        QVERIFY2(message.startsWith(expected), qPrintable(message));
        // Never much longer than the patience (a page's print), however the service hangs.
        QVERIFY2(waited < 3 * kPrintServicePatience,
                 qPrintable(QString::number(waited.count() / 1e6) + u" ms"_s));
    }

    void aQueueThatRejectsOrWaitsIsSaidSo_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("jobQueued");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("rejecting")
            << QStringList{u"cupsreject"_s, u"-r"_s, u"Out of paper"_s, u"PDF"_s}
            << u"The printer PDF does not accept jobs: Out of paper"_s << false
            << QStringList{u"cupsaccept"_s, u"PDF"_s};
        QTest::newRow("paused") << QStringList{u"cupsdisable"_s, u"PDF"_s}
                                << u"The printer PDF is paused: the page waits in its queue until "
                                   "the printer goes on"_s
                                << true << QStringList{u"cupsenable"_s, u"PDF"_s};
    }

    void aQueueThatRejectsOrWaitsIsSaidSo()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, said);
        QFETCH(bool, jobQueued);
        QFETCH(QStringList, after);
        if (!cupsRuns())
            return;
        // The job of a paused queue is cancelled before the queue goes on.
        const auto restore = qScopeGuard([&] {
            runs(QStringLiteral("cancel"), {QStringLiteral("-a"), QStringLiteral("PDF")});
            runs(after.first(), after.mid(1));
        });
        QVERIFY(runs(before.first(), before.mid(1)));
        QPlainTextEdit memo;
        memo.setPlainText(QStringLiteral("queued"));
        QString message;
        try {
            message = QString::fromStdString(printExerciseText(memo));
        } catch (const Error& error) {
            message = QString::fromStdString(error.what());
        }
        QCOMPARE(message, said);
        const QString queue =
            run(QStringLiteral("lpstat"), {QStringLiteral("-o"), QStringLiteral("PDF")});
        QCOMPARE(queue.contains(QStringLiteral("PDF-")), jobQueued);
    }

    void printsTheLinesAsTheBoxShowsThemOnTheDefaultPrinter()
    {
        if (!cupsRuns())
            return;
        // Our own first word tells our PDF from any other job's. A line the box wraps in two,
        // then enough lines for a second page.
        std::string text = "P" + std::to_string(QCoreApplication::applicationPid()) +
                           "\r\nL01\r\nW10 W11 W12 W13 W14 W15 W16 W17 W18 W19 W20\r\n";
        for (int i = 3; i < 75; ++i)
            text += "L" + std::to_string(i) + "\r\n";
        QPlainTextEdit memo;
        restrictToWindows1250(memo);
        memo.resize(325, 131);
        memo.show();
        setExerciseTextBytes(memo, text);
        const QStringList lines = printedLines(memo);
        QCOMPARE(lines.size(), 76); // the long line takes two
        QVERIFY_THROWS_NO_EXCEPTION(printExerciseText(memo));

        // cups-pdf writes the file while we look: wait for ours, whole.
        const QDir pdfDir(qEnvironmentVariable("VORTAN_PDF_DIR"));
        QString pdf;
        QList<PdfLine> found;
        const auto findOurs = [&] {
            for (const QFileInfo& file :
                 pdfDir.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
                found = pdfLines(pdf = file.filePath());
                if (found.size() >= lines.size() && found[0].text == lines[0])
                    return true;
            }
            return false;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(
            findOurs(), qPrintable(QStringLiteral("no whole PDF of ours in ") + pdfDir.path()),
            30'000);
        QVERIFY(
            run(QStringLiteral("pdfinfo"), {pdf})
                .contains(QRegularExpression(QStringLiteral("Title: +\\(?Wydruk z Vortan\\)?\n"))));

        // Every line at x = 200 dots and h below the one before; a new page starts at 300 again.
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        const double pointsPerDot = 72.0 / printer.resolution();
        const double h = printLineHeight(printFont(), printer) * pointsPerDot;
        const QPointF corner = printer.pageRect(QPrinter::Point).topLeft() -
                               printer.paperRect(QPrinter::Point).topLeft();
        QVERIFY(qAbs(found[0].y - corner.y() - 300 * pointsPerDot) < 3.5); // the font's ascent
        QCOMPARE(found.size(), lines.size());
        for (qsizetype i = 0, row = 0; i < found.size(); ++i, ++row) {
            row = i > 0 && found[i].page != found[i - 1].page ? 0 : row;
            QCOMPARE(found[i].text, lines[i].trimmed());
            QVERIFY2(qAbs(found[i].x - corner.x() - 200 * pointsPerDot) < 0.5 &&
                         qAbs(found[i].y - found[0].y - row * h) < 0.5,
                     qPrintable(found[i].text));
        }
        QCOMPARE(found.last().page, 1);
    }
};

QTEST_MAIN(TextPrinterTest)
#include "text_printer_test.moc"
