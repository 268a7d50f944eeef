// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop/print_service.h"

#include <QFont>
#include <QStringList>

#include <chrono>
#include <string>

class QPlainTextEdit;
class QPrinter;

// Printing the exercise text: the lines as the text box shows them, one below the other in a
// fixed-pitch font, at fixed positions in the printer's own units (dots).
namespace vortan {

inline constexpr char kPrintDocumentName[] = "Wydruk z Vortan";

// How long Print waits for the print service's answer before it says the service is not
// answering: about what printing a page takes (60 to 130 ms to a local queue, the answer itself
// 30 to 40 ms), so that a frozen service never holds the window much longer than a print would.
inline constexpr std::chrono::milliseconds kPrintServicePatience{250};

// The lines of the text as the box wraps them at its width. An empty last line (after a final
// line break) is not a line.
QStringList printedLines(const QPlainTextEdit& memo);

// "Courier New CE" 14 pt, or the first fixed-pitch family present of "Courier New",
// "Liberation Mono", "DejaVu Sans Mono", "Nimbus Mono PS", else the system's fixed font.
QFont printFont();

// The height of a printed line in device units: the font's full height (ascent and descent,
// no extra leading), the height a text of one line takes in that font on that printer.
int printLineHeight(const QFont& font, QPrinter& printer);

// Draws the lines on the printer as one job: line i of a page with its top left corner at
// (200, 300 + i × line height), further pages alike when the page is full.
// Throws vortan::Error("Printer selected is not valid") when the printer cannot be drawn on.
void printLines(const QStringList& lines, QPrinter& printer);

// What Print makes of the print service's answer: throws vortan::Error when no job can go to
// the default printer ("The print service is not running: <server>: <why>", "The print service
// is not answering: ...", "There is no default printer currently selected", "The printer <name>
// does not accept jobs: <why>"); returns a notice for a paused printer, which takes the job but
// keeps it in its queue, and nothing when all is well.
std::string printServiceNotice(const DefaultPrinterState& state);

// Print: the text of the box, one job named "Wydruk z Vortan" on the default printer, once the
// print service says the printer takes it (printServiceNotice). Throws vortan::Error("There is
// no default printer currently selected") without one. Returns the notice to show, if any.
std::string printExerciseText(const QPlainTextEdit& memo);

} // namespace vortan
