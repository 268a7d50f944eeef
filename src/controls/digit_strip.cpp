// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/digit_strip.h"

#include <array>
#include <cstdint>

namespace vortan {
namespace {

// One horizontal run of a segment: row, first and last column (inclusive) inside the cell.
struct Run {
    int row;
    int first;
    int last;
};

// Segments a to g in this order; rows listed one by one.
constexpr std::array<Run, 3> segmentA{{{2, 3, 12}, {3, 4, 11}, {4, 5, 10}}};
constexpr std::array<Run, 7> segmentB{
    {{3, 13, 13}, {4, 12, 13}, {5, 11, 13}, {6, 11, 13}, {7, 11, 13}, {8, 11, 13}, {9, 12, 13}}};
constexpr std::array<Run, 7> segmentC{{{11, 12, 13},
                                       {12, 11, 13},
                                       {13, 11, 13},
                                       {14, 11, 13},
                                       {15, 11, 13},
                                       {16, 12, 13},
                                       {17, 13, 13}}};
constexpr std::array<Run, 3> segmentD{{{16, 5, 10}, {17, 4, 11}, {18, 3, 12}}};
constexpr std::array<Run, 7> segmentE{
    {{11, 2, 3}, {12, 2, 4}, {13, 2, 4}, {14, 2, 4}, {15, 2, 4}, {16, 2, 3}, {17, 2, 2}}};
constexpr std::array<Run, 7> segmentF{
    {{3, 2, 2}, {4, 2, 3}, {5, 2, 4}, {6, 2, 4}, {7, 2, 4}, {8, 2, 4}, {9, 2, 3}}};
constexpr std::array<Run, 3> segmentG{{{9, 5, 10}, {10, 4, 11}, {11, 5, 10}}};

struct Segment {
    const Run* runs;
    int runCount;
};

constexpr std::array<Segment, 7> segments{{{segmentA.data(), int(segmentA.size())},
                                           {segmentB.data(), int(segmentB.size())},
                                           {segmentC.data(), int(segmentC.size())},
                                           {segmentD.data(), int(segmentD.size())},
                                           {segmentE.data(), int(segmentE.size())},
                                           {segmentF.data(), int(segmentF.size())},
                                           {segmentG.data(), int(segmentG.size())}}};

// Bit s set: segment s (a = bit 0 ... g = bit 6) is lit for that digit.
constexpr std::array<std::uint8_t, 10> litSegments{
    0b0111111, // 0: a b c d e f
    0b0000110, // 1: b c
    0b1011011, // 2: a b d e g
    0b1001111, // 3: a b c d g
    0b1100110, // 4: b c f g
    0b1101101, // 5: a c d f g
    0b1111101, // 6: a c d e f g
    0b0000111, // 7: a b c
    0b1111111, // 8
    0b1101111, // 9: a b c d f g
};

// The classic 16-colour palette of the 16-colour strip.
constexpr std::array<QRgb, 16> sixteenColourPalette{
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

} // namespace

QImage digitStrip(const DigitStripColours& colours, bool sixteenColours)
{
    QImage strip(10 * digitCellWidth, digitCellHeight, QImage::Format_RGB32);
    strip.fill(colours.background);
    for (int digit = 0; digit < 10; ++digit) {
        for (int s = 0; s < int(segments.size()); ++s) {
            const bool lit = (litSegments[std::size_t(digit)] >> s) & 1;
            const Segment& segment = segments[std::size_t(s)];
            for (int r = 0; r < segment.runCount; ++r) {
                const Run& run = segment.runs[r];
                for (int column = run.first; column <= run.last; ++column)
                    strip.setPixel(digit * digitCellWidth + column, run.row,
                                   lit ? colours.lit : colours.unlit);
            }
        }
    }
    if (!sixteenColours)
        return strip;

    // Exact palette colours map to themselves; anything else goes to its nearest entry.
    return strip.convertToFormat(
        QImage::Format_Indexed8,
        QList<QRgb>(sixteenColourPalette.begin(), sixteenColourPalette.end()),
        Qt::ThresholdDither | Qt::AvoidDither);
}

QImage trueColourDigitStrip()
{
    return digitStrip(trueColourDigits);
}

QImage sixteenColourDigitStrip()
{
    return digitStrip(sixteenColourDigits, true);
}

} // namespace vortan
