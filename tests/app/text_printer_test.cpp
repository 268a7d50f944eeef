#include "app/exercise_text.h"
#include "app/exercise_text_box.h"
#include "app/text_printer.h"
#include "synthesis/errors.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>

using namespace vortan;

namespace {

constexpr char kChildOption[] = "--print-on-default-printer";

// A word of a PDF as pdftotext places it, in points from the top left of its page.
struct PdfWord {
    int page = 0;
    double xMin = 0;
    double yMin = 0;
    QString text;
};

QList<PdfWord> pdfWords(const QString& pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30'000) || pdftotext.exitCode() != 0) {
        return {};
    }
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    QList<PdfWord> words;
    int page = -1;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        if (match.captured(0) == QStringLiteral("<page ")) {
            ++page;
            continue;
        }
        words.append(
            {page, match.captured(1).toDouble(), match.captured(2).toDouble(), match.captured(3)});
    }
    return words;
}

// Lines named L00, L01, ... so that each is one word in the PDF.
QStringList numberedLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        lines << QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0'));
    }
    return lines;
}

// Checks that the words are the lines in order, each at x = 200 and y = 300 + i × h on its page
// (in device units of the given resolution, from the printable area's corner), a new page
// starting at 300 again.
void checkPlacement(const QList<PdfWord>& words, const QStringList& lines, int resolution,
                    int lineHeight, QPointF areaCornerPoints, int expectedPages)
{
    QCOMPARE(words.size(), lines.size());
    const double pointsPerUnit = 72.0 / resolution;
    // pdftotext puts a word's top at the font's own ascent; measure rows against the first one.
    const double firstTop = words[0].yMin;
    const double expectedFirstTop = areaCornerPoints.y() + kPrintTop * pointsPerUnit;
    QVERIFY2(qAbs(firstTop - expectedFirstTop) < 14 * 0.25,
             qPrintable(QStringLiteral("first line at %1 pt, expected about %2 pt")
                            .arg(firstTop)
                            .arg(expectedFirstTop)));
    int row = 0;
    int page = 0;
    for (qsizetype i = 0; i < words.size(); ++i) {
        QCOMPARE(words[i].text, lines[i]);
        if (words[i].page != page) {
            QCOMPARE(words[i].page, page + 1);
            page = words[i].page;
            row = 0;
        }
        const double x = areaCornerPoints.x() + kPrintLeft * pointsPerUnit;
        const double y = firstTop + row * lineHeight * pointsPerUnit;
        QVERIFY2(qAbs(words[i].xMin - x) < 0.5 && qAbs(words[i].yMin - y) < 0.5,
                 qPrintable(QStringLiteral("%1 at (%2, %3) pt on page %4, expected (%5, %6)")
                                .arg(lines[i])
                                .arg(words[i].xMin)
                                .arg(words[i].yMin)
                                .arg(page)
                                .arg(x)
                                .arg(y)));
        ++row;
    }
    QCOMPARE(page + 1, expectedPages);
}

QPointF printableCornerInPoints(QPrinter& printer)
{
    const QRectF area = printer.pageRect(QPrinter::Point);
    const QRectF paper = printer.paperRect(QPrinter::Point);
    return area.topLeft() - paper.topLeft();
}

bool servicesRequired()
{
    return qEnvironmentVariable("VORTAN_REQUIRE_SERVICES") == QStringLiteral("1");
}

} // namespace

class TextPrinterTest : public QObject {
    Q_OBJECT

private slots:
    void printedLinesAreTheBoxLinesAsWrapped()
    {
        QPlainTextEdit memo;
        restrictToWindows1250(memo);
        memo.resize(325, 131);
        memo.show();
        const QString longLine =
            QStringLiteral("abstg jnokq fmzix drhew lypvc u8219 abstg jnokq fmzix drhew lypvc ");
        setExerciseTextBytes(memo, "one\r\n\r\nthree\r\n" + longLine.toStdString() + "\r\n");
        const QStringList lines = printedLines(memo);
        QVERIFY(lines.size() >= 5);
        QCOMPARE(lines.mid(0, 3), (QStringList{"one", "", "three"}));
        QCOMPARE(lines.mid(3).join(QString()), longLine);
        const QFontMetrics metrics(memo.font());
        for (const QString& line : lines.mid(3)) {
            QVERIFY(metrics.horizontalAdvance(line.trimmed()) <= memo.viewport()->width());
        }

        // A final line break adds no line; an empty text has none.
        setExerciseTextBytes(memo, "abc");
        QCOMPARE(printedLines(memo), QStringList{"abc"});
        setExerciseTextBytes(memo, "abc\r\n");
        QCOMPARE(printedLines(memo), QStringList{"abc"});
        setExerciseTextBytes(memo, "");
        QVERIFY(printedLines(memo).isEmpty());
    }

    void printFontIsFixedPitch14Points()
    {
        const QFont font = printFont();
        QCOMPARE(font.pointSize(), 14);
        QVERIFY(QFontInfo(font).fixedPitch());
        QVERIFY(!font.bold() && !font.italic() && !font.underline());
    }

    void printsLinesAtTheirPlacesOverPages()
    {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
        printer.setPageSize(QPageSize(QPageSize::A4));
        const QStringList lines = numberedLines(70);
        printLines(lines, printer);
        const QFont font = printFont();
        checkPlacement(pdfWords(dir.filePath(QStringLiteral("out.pdf"))), lines,
                       printer.resolution(), printLineHeight(font, printer),
                       printableCornerInPoints(printer), 2);
    }

    void printsOnTheDefaultPrinter()
    {
        if (!qEnvironmentVariable("VORTAN_TEST_SERVICES").split(u' ').contains(u"cups")) {
            if (servicesRequired()) {
                QFAIL("CUPS is not running (scripts/test-services.sh starts it as root)");
            }
            QSKIP("printing tests need CUPS with the PDF printer: run under "
                  "scripts/test-services.sh as root");
        }
        const QDir pdfDir(qEnvironmentVariable("VORTAN_PDF_DIR"));
        const QStringList before = pdfDir.entryList({QStringLiteral("*.pdf")}, QDir::Files);

        QPlainTextEdit memo;
        restrictToWindows1250(memo);
        memo.resize(325, 131);
        memo.show();
        std::string text = "L00\r\nL01\r\nL02\r\n";
        // One long line of words that the box wraps; then enough lines for a second page.
        for (int i = 0; i < 12; ++i) {
            text += "W" + std::to_string(10 + i) + " ";
        }
        text += "\r\n";
        for (int i = 3; i < 60; ++i) {
            text += "L" + std::to_string(i) + "\r\n";
        }
        setExerciseTextBytes(memo, text);
        const QStringList lines = printedLines(memo);
        QVERIFY(lines.size() > 61); // the long line took two lines or more
        printExerciseText(memo);

        QString pdf;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QStringList now = pdfDir.entryList({QStringLiteral("*.pdf")}, QDir::Files);
                for (const QString& name : now) {
                    if (!before.contains(name)) {
                        pdf = pdfDir.filePath(name);
                    }
                }
                return !pdf.isEmpty() && !pdfWords(pdf).isEmpty();
            }(),
            60'000);
        // The job's document name becomes the PDF's title.
        QProcess pdfinfo;
        pdfinfo.start(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY(pdfinfo.waitForFinished(30'000));
        QVERIFY(
            QString::fromUtf8(pdfinfo.readAllStandardOutput())
                .contains(QRegularExpression(QStringLiteral("Title: +\\(?Wydruk z Vortan\\)?\n"))));

        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        QStringList words;
        for (const QString& line : lines) {
            words << line.split(u' ', Qt::SkipEmptyParts);
        }
        // Positions are checked line by line for the single-word lines.
        const QList<PdfWord> found = pdfWords(pdf);
        QStringList foundText;
        for (const PdfWord& word : found) {
            foundText << word.text;
        }
        QCOMPARE(foundText, words);
        QList<PdfWord> numbered;
        for (const PdfWord& word : found) {
            if (word.text.startsWith(u'L')) {
                numbered << word;
            }
        }
        QCOMPARE(numbered.size(), 60);
        const int wrapped = static_cast<int>(lines.size()) - 60;
        const double pointsPerUnit = 72.0 / printer.resolution();
        const double rowPoints = printLineHeight(printFont(), printer) * pointsPerUnit;
        const QPointF corner = printableCornerInPoints(printer);
        // L00..L02 in rows 0..2, L03 after the wrapped rows, all at x = 200.
        for (int i = 0; i < 3; ++i) {
            QVERIFY(qAbs(numbered[i].yMin - numbered[0].yMin - i * rowPoints) < 0.5);
        }
        QVERIFY(qAbs(numbered[3].yMin - numbered[0].yMin - (3 + wrapped) * rowPoints) < 0.5);
        for (const PdfWord& word : numbered) {
            QVERIFY(qAbs(word.xMin - corner.x() - kPrintLeft * pointsPerUnit) < 0.5);
        }
        QVERIFY(numbered.last().page == 1);
        QVERIFY(qAbs(numbered[0].yMin - corner.y() - kPrintTop * pointsPerUnit) < 3.5);
        qInfo("printed %s at %d dpi, line height %d dots", qPrintable(pdf), printer.resolution(),
              printLineHeight(printFont(), printer));
    }

    void noDefaultPrinterIsReported()
    {
        // In a child process with no print server to ask, so the shared CUPS stays untouched.
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/cups.sock"));
        environment.remove(QStringLiteral("PRINTER"));
        environment.remove(QStringLiteral("LPDEST"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kChildOption)});
        QVERIFY(child.waitForFinished(60'000));
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()).trimmed(),
                 QStringLiteral("There is no default printer currently selected"));
    }
};

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], kChildOption) == 0) {
        QPlainTextEdit memo;
        try {
            printExerciseText(memo);
            std::puts("printed");
        } catch (const Error& error) {
            std::puts(error.what());
        }
        return 0;
    }
    TextPrinterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "text_printer_test.moc"
