// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/wording.h"

#include <string>

namespace vortan {

// The command-line tools' texts in the language of the locale. vortan-render and vortan-check are
// built without Qt, so their Polish comes from translations/vortan_pl.ts (their contexts, and
// those of the Qt-free units they share with the windows) through a table made at build time.
// A text is marked where it is written as renderText("vortan-render", "..."), which lupdate reads
// as it reads tr(): the program's completeness check covers these texts too.

// Marks a text for lupdate where it is only named, for renderText to translate where it is shown.
#define VORTAN_RENDER_TEXT_NOOP(context, text) text

enum class TextLanguage { English, Polish };

// As gettext chooses: LC_ALL, else LC_MESSAGES, else LANG names the locale; "C", "POSIX" or none
// is English whatever LANGUAGE says; otherwise the first of LANGUAGE's colon-separated list
// that is English or Polish decides, and without one the locale. Null pointers are unset.
TextLanguage textLanguage(const char* language, const char* lcAll, const char* lcMessages,
                          const char* lang);

// The language renderText answers in, set once at start (English until then). Like the locale
// it follows, it is the process's own.
void setTextLanguage(TextLanguage language);

// `english` in the language set; English when the table has no finished translation. As Qt's
// translate(): where n >= 0, the plural form for n, with %n replaced by n.
std::string renderText(const char* context, const char* english,
                       const char* disambiguation = nullptr, int n = -1);

// renderText as the wording of the units without Qt.
const Wording& tableWording();

} // namespace vortan
