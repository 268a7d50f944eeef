#pragma once

#include <QFont>
#include <QStringList>

class QPlainTextEdit;
class QPrinter;

// Printing the exercise text: the lines as the text box shows them, one below the other in a
// fixed-pitch font, at fixed positions in the printer's own units (dots).
namespace vortan {

inline constexpr char kPrintDocumentName[] = "Wydruk z Vortan";

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

// Print: the text of the box, one job named "Wydruk z Vortan" on the default printer.
// Throws vortan::Error("There is no default printer currently selected") without one.
void printExerciseText(const QPlainTextEdit& memo);

} // namespace vortan
