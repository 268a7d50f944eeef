// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Rcadigi.h"
#include "controls/digit_strip.h"
#include "support/property_notify.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
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
    void stripsFollowTheSegmentTable_data();
    void stripsFollowTheSegmentTable();
    void formatWidthAndAccessibility_data();
    void formatWidthAndAccessibility();
    void cellsRightAligned_data();
    void cellsRightAligned();
    void heightRuleAndMargin();
    void propertiesTellTheirChanges_data();
    void propertiesTellTheirChanges();
};

void RcadigiTest::stripsFollowTheSegmentTable_data()
{
    QTest::addColumn<QImage>("strip");
    QTest::newRow("true colour") << vortan::trueColourDigitStrip();
    QTest::newRow("16 colours") << vortan::sixteenColourDigitStrip();
}

void RcadigiTest::stripsFollowTheSegmentTable()
{
    QFETCH(QImage, strip);
    // Segment sizes a 24, b 17, c 17, d 24, e 17, f 17, g 20.
    const int litPerDigit[10] = {116, 34, 102, 102, 71, 102, 119, 58, 136, 119};
    const QRgb lit = qRgb(255, 0, 0);
    QCOMPARE(strip.size(), QSize(160, 21));
    for (int digit = 0; digit < 10; ++digit) {
        int count = 0;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 16; ++x)
                count += strip.pixel(digit * 16 + x, y) == lit;
        QCOMPARE(count, litPerDigit[digit]);
    }
    // g's widest row (10: 4-11) is dark in 0 and lit in 8; 1 lights b and c but not a.
    QVERIFY(strip.pixel(4, 10) != lit && strip.pixel(8 * 16 + 11, 10) == lit);
    QVERIFY(strip.pixel(16 + 13, 3) == lit && strip.pixel(16 + 13, 17) == lit);
    QVERIFY(strip.pixel(16 + 3, 2) != lit);
}

void RcadigiTest::formatWidthAndAccessibility_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("formatWidth");
    QTest::addColumn<QString>("text");
    QTest::newRow("zeros in front") << 7 << 3 << u"007"_s;
    QTest::newRow("no width") << 7 << 0 << u"7"_s;
    QTest::newRow("16 and more add nothing") << 7 << 20 << u"7"_s;
    QTest::newRow("sign before the zeros") << -5 << 3 << u"-005"_s;
}

void RcadigiTest::formatWidthAndAccessibility()
{
    QFETCH(int, value);
    QFETCH(int, formatWidth);
    QFETCH(QString, text);
    TRCADigital display;
    display.setToolTip(QStringLiteral("Tempo of chars\r\nTempo znak\u00f3w"));
    display.setValue(value);
    display.setFormatWidth(formatWidth); // rebuilds the text from the stored value
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&display);
    QVERIFY(iface && iface->valueInterface());
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Tempo of chars"));
    QCOMPARE(iface->text(QAccessible::Value), text);
    QCOMPARE(display.displayText(), text);
    iface->valueInterface()->setCurrentValue(5); // read-only
    QCOMPARE(display.value(), value);
}

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

void RcadigiTest::heightRuleAndMargin()
{
    TRCADigital display;
    painted(display, 81);
    display.show();
    display.resize(90, 100);
    QCOMPARE(display.size(), QSize(90, 37));
    display.setAutoSize(false);
    display.resize(81, 100);
    QCOMPARE(display.size(), QSize(81, 100));
    display.setAutoSize(true);
    display.setValue(8);
    display.setMargin(4);
    QCOMPARE(display.size(), QSize(81, 41));
    QVERIFY(showsCell(display.grab().toImage().convertToFormat(QImage::Format_RGB32), 55, 10, 8));

    display.setNumbers(QImage(176, 21, QImage::Format_RGB32));
    QCOMPARE(display.numberWidth(), 17);
}

void RcadigiTest::propertiesTellTheirChanges_data()
{
    vortan::testing::addPropertyRows(TRCADigital::staticMetaObject);
}

void RcadigiTest::propertiesTellTheirChanges()
{
    QFETCH(QByteArray, property);
    TRCADigital display;
    // A new strip always tells: comparing strips costs more than a needless notification.
    vortan::testing::checkNotifies(display, property, property == "Numbers");
}

QTEST_MAIN(RcadigiTest)
#include "rcadigi_test.moc"
