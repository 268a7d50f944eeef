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
#include <QTest>

#include <thread>

using namespace vortan;

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30'000) && process.exitCode() == 0
               ? QString::fromUtf8(process.readAllStandardOutput())
               : QString();
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

private Q_SLOTS:
    void linesStackAndEveryPageStartsAtTheSameTop()
    {
        // 100 units a line on a page 1000 high: the lines at 300 to 900 fit.
        const auto positions = printedLinePositions(9, 100, 1000);
        QCOMPARE(positions.size(), std::size_t(9));
        for (int i = 0; i < 9; ++i)
            QVERIFY(positions[i] == (PrintedLinePosition{i / 7, 200, 300 + i % 7 * 100}));
    }

    void noDefaultPrinterIsReported()
    {
        // libcups reads the server's name once per thread: ask a new thread, with no server to
        // ask, after this one has loaded the print support (and so keeps the real server).
        QPrinterInfo::defaultPrinterName();
        const QByteArray saved = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
        const QPlainTextEdit memo;
        QString message = QStringLiteral("<no error>");
        std::thread([&] {
            try {
                printExerciseText(memo);
            } catch (const Error& error) {
                message = QString::fromStdString(error.what());
            }
        }).join();
        saved.isNull() ? qunsetenv("CUPS_SERVER") : qputenv("CUPS_SERVER", saved);
        QCOMPARE(message, QStringLiteral("There is no default printer currently selected"));
    }

    void printsTheLinesAsTheBoxShowsThemOnTheDefaultPrinter()
    {
        if (!qEnvironmentVariable("VORTAN_TEST_SERVICES").split(u' ').contains(u"cups")) {
            if (qEnvironmentVariable("VORTAN_REQUIRE_SERVICES") == QStringLiteral("1"))
                QFAIL("CUPS is not running (scripts/test-services.sh starts it as root)");
            QSKIP("printing tests need CUPS with the PDF printer: run under "
                  "scripts/test-services.sh as root");
        }
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
