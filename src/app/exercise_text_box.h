// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

class QPlainTextEdit;

// The exercise text box holds Unicode; the program's text is windows-1250 bytes with CR LF line
// breaks. These functions keep the two the same thing.
namespace vortan {

// Makes the box behave like an 8-bit windows-1250 text box: whatever is typed, pasted, dropped
// or inserted that windows-1250 cannot hold becomes "?" (one per character, also for characters
// outside the Basic Multilingual Plane), and an insertion that would take the text past
// kTextCapacityBytes is cut to fit. Call once, when the box is created.
void restrictToWindows1250(QPlainTextEdit& memo);

// The whole text as windows-1250 bytes, lines separated by CR LF.
std::string exerciseTextBytes(const QPlainTextEdit& memo);

// Its length in bytes, without building it.
std::size_t exerciseTextByteCount(const QPlainTextEdit& memo);

// Replaces the whole text with the given bytes (any line breaks; they become CR LF) and sets the
// modified mark. Throws vortan::Error("Text exceeds memo capacity"), leaving the box as it was,
// when the text would not fit. The undo history starts anew, as with a newly loaded document.
void setExerciseTextBytes(QPlainTextEdit& memo, std::string_view bytes);

} // namespace vortan
