// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Rcadigi.h"
#include "controls/digit_strip.h"

#include <QtTest>

using vortan::TRCADigital;
using namespace Qt::StringLiterals;

namespace {

constexpr QRgb face = qRgb(0, 0, 200); // in no strip, so untouched cells stand out

// The program's configuration on a display of the given width, as it paints.
QImage painted(TRCADigital& display, int width)
{
    display.setNumbers(vortan::trueColourDigitStrip());
    display.setNumberWidth(16);
    display.setColor(QColor::fromRgb(face));
    display.resize(width, 10);
    return display.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The picture holds strip cell `cell` (16 px wide) with its top-left corner at (left, top).
bool showsCell(const QImage& picture, int left, int top, int cell)
{
    const QImage strip = vortan::trueColourDigitStrip().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < 16; ++x)
            if (picture.pixel(left + x, top + y) != strip.pixel(cell * 16 + x, y))
                return false;
    return true;
}

} // namespace

class RcadigiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cellsRightAligned_data();
    void cellsRightAligned();
};

void RcadigiTest::cellsRightAligned_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("gap");
    QTest::addColumn<QList<int>>("lefts");  // drawn cells, rightmost first
    QTest::addColumn<QList<int>>("digits"); // what each of them shows
    QTest::newRow("three digits") << 81 << 123 << 0 << QList{57, 41, 25} << QList{3, 2, 1};
    QTest::newRow("narrow") << 57 << 123 << 0 << QList{33, 17} << QList{3, 2};
    // The fourth would sit on the inset.
    QTest::newRow("no room for four") << 80 << 1234 << 0 << QList{56, 40, 24} << QList{4, 3, 2};
    QTest::newRow("gap") << 81 << 1234 << 2 << QList{57, 39, 21} << QList{4, 3, 2};
    // No minus cell in the strip: nothing drawn.
    QTest::newRow("minus") << 81 << -5 << 0 << QList{57} << QList{5};
}

void RcadigiTest::cellsRightAligned()
{
    QFETCH(int, width);
    QFETCH(int, value);
    QFETCH(int, gap);
    QFETCH(QList<int>, lefts);
    QFETCH(QList<int>, digits);
    TRCADigital display;
    display.setGap(gap);
    display.setValue(value);
    const QImage picture = painted(display, width);
    QCOMPARE(picture.size(), QSize(width, 37));
    for (int i = 0; i < lefts.size(); ++i)
        QVERIFY2(showsCell(picture, lefts[i], 8, digits[i]),
                 qPrintable(u"cell at %1"_s.arg(lefts[i])));
    // Left of the last cell drawn, up to the inset, the face shows.
    for (int y = 8; y < 29; ++y)
        for (int x = 9; x < lefts.last() - gap; ++x)
            QVERIFY2(picture.pixel(x, y) == face, qPrintable(u"%1,%2"_s.arg(x).arg(y)));
}

QTEST_MAIN(RcadigiTest)
#include "rcadigi_test.moc"
