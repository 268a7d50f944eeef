// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/check/aligned_copy_view.h"

#include "desktop/windows1250.h"

#include <QCoreApplication>

#include <algorithm>
#include <vector>

namespace vortan {

ErrorColours ErrorColours::forBackground(const QColor& background)
{
    if (background.lightness() < 128)
        return {QColor(0xFF, 0x6E, 0x6E), QColor(0xFF, 0xB4, 0x4D), QColor(0x7A, 0xB8, 0xFF)};
    return {QColor(0xB0, 0x00, 0x20), QColor(0x9A, 0x4A, 0x00), QColor(0x00, 0x4E, 0xB0)};
}

namespace {

// An error in colour, bold and underlined; a mark only in colour and bold, so that "-" stays "-".
QString cell(char byte, char mark, const ErrorColours& colours, bool underline = true)
{
    const QString text = windows1250::toUnicode(std::string_view(&byte, 1)).toHtmlEscaped();
    const QColor* colour = nullptr;
    switch (mark) {
    case kWrongMark:
        colour = &colours.wrong;
        break;
    case kMissedMark:
        colour = &colours.missed;
        break;
    case kExtraMark:
        colour = &colours.extra;
        break;
    default:
        return text;
    }
    return QStringLiteral("<span style=\"color:%1; font-weight:bold%2\">%3</span>")
        .arg(colour->name(), underline ? QStringLiteral("; text-decoration:underline") : QString(),
             text);
}

} // namespace

QString alignedCopyHtml(const CopyScore& score, const ErrorColours& colours, int groupsPerLine)
{
    const std::vector<AlignedGroupRows> groups = alignedGroupRows(score);
    // The row captions, padded to one width so that the columns line up in every language.
    QString sentCaption = QCoreApplication::translate("vortan::AlignedCopyView", "Sent");
    QString copyCaption = QCoreApplication::translate("vortan::AlignedCopyView", "Copy");
    const qsizetype captionWidth = std::max(sentCaption.size(), copyCaption.size()) + 2;
    sentCaption = sentCaption.leftJustified(captionWidth);
    copyCaption = copyCaption.leftJustified(captionWidth);
    QString html = QStringLiteral("<pre style=\"font-family:monospace\">");
    for (std::size_t first = 0; first < groups.size(); first += groupsPerLine) {
        const std::size_t last = std::min(groups.size(), first + groupsPerLine);
        QString sent = sentCaption;
        QString copy = copyCaption;
        QString marks(captionWidth, u' ');
        for (std::size_t g = first; g < last; ++g) {
            const AlignedGroupRows& rows = groups[g];
            for (std::size_t i = 0; i < rows.sent.size(); ++i) {
                sent += cell(rows.sent[i], rows.marks[i], colours);
                copy += cell(rows.typed[i], rows.marks[i], colours);
                marks += cell(rows.marks[i], rows.marks[i], colours, false);
            }
            sent += QStringLiteral("  ");
            copy += QStringLiteral("  ");
            marks += QStringLiteral("  ");
        }
        if (first > 0)
            html += QLatin1Char('\n');
        html += sent + QLatin1Char('\n') + copy + QLatin1Char('\n') + marks + QLatin1Char('\n');
    }
    return html + QStringLiteral("</pre>");
}

} // namespace vortan
