// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/text_printer.h"

#include "app/exercise_text.h"
#include "base/errors.h"
#include "desktop/print_service.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextLayout>

namespace vortan {

QStringList printedLines(const QPlainTextEdit& memo)
{
    const QTextDocument& document = *memo.document();
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(document.documentLayout());
    QStringList lines;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (!block.next().isValid() && text.isEmpty()) {
            break;
        }
        // The box lays out only what it has shown; lay out the rest at its present width.
        if (layout) {
            layout->ensureBlockLayout(block);
        }
        const QTextLayout* blockLayout = block.layout();
        if (!blockLayout || blockLayout->lineCount() == 0) {
            lines << text;
            continue;
        }
        for (int i = 0; i < blockLayout->lineCount(); ++i) {
            const QTextLine line = blockLayout->lineAt(i);
            lines << text.mid(line.textStart(), line.textLength());
        }
    }
    return lines;
}

QFont printFont()
{
    const QStringList families = QFontDatabase::families();
    QFont font;
    font.setPointSize(14);
    for (const char* name : {"Courier New CE", "Courier New", "Liberation Mono", "DejaVu Sans Mono",
                             "Nimbus Mono PS"}) {
        const QString family = QString::fromLatin1(name);
        if (families.contains(family)) {
            font.setFamily(family);
            return font;
        }
    }
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(14);
    return font;
}

int printLineHeight(const QFont& font, QPrinter& printer)
{
    // What the height of a text of one line is: ascent plus descent, without the leading
    // between lines; this is how tall "x" is measured as a text.
    return QFontMetrics(font, &printer).height();
}

void printLines(const QStringList& lines, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw Error("Printer selected is not valid");
    }
    const QFont font = printFont();
    painter.setFont(font);
    const int lineHeight = printLineHeight(font, printer);
    const int ascent = QFontMetrics(font, &printer).ascent();
    const auto positions =
        printedLinePositions(static_cast<std::size_t>(lines.size()), lineHeight, printer.height());
    int page = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const PrintedLinePosition& at = positions[static_cast<std::size_t>(i)];
        if (at.page != page) {
            printer.newPage();
            page = at.page;
        }
        // drawText places the baseline; the position is the line's top edge.
        painter.drawText(QPoint(at.x, at.y + ascent), lines.at(i));
    }
    painter.end();
}

std::string printServiceNotice(const DefaultPrinterState& state)
{
    // The service's own messages may end in a full stop; the error box adds its own.
    std::string reason = state.reason;
    while (!reason.empty() && reason.back() == '.')
        reason.pop_back();
    const auto withReason = [&reason](std::string sentence) {
        return reason.empty() ? sentence : sentence + ": " + reason;
    };
    using Kind = DefaultPrinterState::Kind;
    switch (state.kind) {
    case Kind::ServiceDown:
        throw Error(withReason("The print service is not running: " + state.server));
    case Kind::NotAnswering:
        throw Error(withReason("The print service is not answering: " + state.server));
    case Kind::NoDefault:
        throw Error(withReason("There is no default printer currently selected"));
    case Kind::Rejecting:
        throw Error(withReason("The printer " + state.printer + " does not accept jobs"));
    case Kind::Paused:
        return "The printer " + state.printer +
               " is paused: the page waits in its queue until the printer goes on";
    case Kind::Ready:
        break;
    }
    return {};
}

std::string printExerciseText(const QPlainTextEdit& memo)
{
    const std::string notice = printServiceNotice(askDefaultPrinterState(kPrintServicePatience));
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) {
        throw Error("There is no default printer currently selected");
    }
    QPrinter printer(defaultPrinter, QPrinter::HighResolution);
    printer.setDocName(QString::fromLatin1(kPrintDocumentName));
    printLines(printedLines(memo), printer);
    return notice;
}

} // namespace vortan
