// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRgb>

namespace vortan {

// The colours of one digit strip: the black face, the lit and the dimmed segments.
struct DigitStripColours {
    QRgb background;
    QRgb lit;
    QRgb unlit;
};

inline constexpr DigitStripColours trueColourDigits{qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(80, 0, 0)};
inline constexpr DigitStripColours sixteenColourDigits{qRgb(0, 0, 0), qRgb(255, 0, 0),
                                                       qRgb(128, 0, 0)};

inline constexpr int digitCellWidth = 16;
inline constexpr int digitCellHeight = 21;

// Ten seven-segment digits, 0 to 9 from left to right, each in a 16 x 21 cell: 160 x 21 pixels.
// With sixteenColours the picture is an 8-bit indexed image on the classic 16-colour palette.
QImage digitStrip(const DigitStripColours& colours, bool sixteenColours = false);

// The two strips the main window gives its displays.
QImage trueColourDigitStrip();
QImage sixteenColourDigitStrip();

} // namespace vortan
