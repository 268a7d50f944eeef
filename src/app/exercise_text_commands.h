// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>
#include <string_view>

class QPlainTextEdit;

// The four commands on the exercise text box (Random, Clear, Open, Save) and the text files.
// Failures throw vortan::Error with the message the user sees; the text and its modified mark
// are then as they were.
namespace vortan {

class Clock;
class RandomGenerator;
class ExerciseTextDialogs;

// Random: seeds the generator from the clock, then appends one line of random groups drawn from
// the character set as one undo step (which sets the modified mark). A set of fewer than two
// characters changes nothing. Throws "Text exceeds memo capacity" when the line does not fit.
void appendRandomLine(QPlainTextEdit& memo, const QString& characterSet, RandomGenerator& generator,
                      const Clock& clock);

// Appends a line (windows-1250 bytes) after the text, as one undo step. At program start the
// window appends kOpeningLine with it.
void appendExerciseLine(QPlainTextEdit& memo, std::string_view line);

// Clear: the text becomes the opening line and CR LF, as one undo step; sets the modified mark.
void clearExerciseText(QPlainTextEdit& memo);

// Open: replaces the text with the file's content (line breaks made CR LF), sets the modified mark.
void openExerciseText(QPlainTextEdit& memo, const QString& path);
// Open with the dialog; nothing happens when the user cancels.
void openExerciseText(QPlainTextEdit& memo, ExerciseTextDialogs& dialogs);

// Save: writes the text byte for byte. The text and the modified mark stay as they are.
void saveExerciseText(const QPlainTextEdit& memo, const QString& path);
// Save with the dialog; nothing happens when the user cancels.
void saveExerciseText(const QPlainTextEdit& memo, ExerciseTextDialogs& dialogs);

// The text files themselves. Reading accepts only a regular file of at most kTextCapacityBytes
// ("Cannot open file %s", "Text exceeds memo capacity", each followed by the path and the
// reason); it never blocks on a pipe or a device.
std::string readExerciseTextFile(const QString& path);
// Writing goes to a temporary file beside the target that then replaces it, so a failure leaves
// the old file whole ("Cannot create file %s", "Stream write error", each followed by the
// path and the reason). A read-only file, or one that is not a regular file, is refused, also
// for root.
void writeExerciseTextFile(const QString& path, std::string_view bytes);

} // namespace vortan
