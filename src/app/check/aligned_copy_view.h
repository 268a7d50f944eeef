// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scoring/copy_score.h"

#include <QColor>
#include <QString>

namespace vortan {

// The colours of the three kinds of error, chosen for the background they are shown on.
struct ErrorColours {
    QColor wrong;
    QColor missed;
    QColor extra;

    // Strong enough on a light background, or on a dark one.
    static ErrorColours forBackground(const QColor& background);
};

// The sent text and the copy side by side as HTML, group under group, six groups to a line:
// a "Sent" row, a "Copy" row and a row of marks (* wrong, - missed, + extra) under the errors,
// which are also coloured, bold and underlined. The mark row needs no colour to be read.
QString alignedCopyHtml(const CopyScore& score, const ErrorColours& colours, int groupsPerLine = 6);

} // namespace vortan
