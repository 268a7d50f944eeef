#include "controls/Rcadigi.h"
#include "controls/digit_strip.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QtTest>

using vortan::TRCADigital;

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

private slots:
    void stripsFollowTheSegmentTable();
    void formatWidthAndAccessibility();
    void cellsRightAligned();
    void heightRuleAndMargin();
};

void RcadigiTest::stripsFollowTheSegmentTable()
{
    // Segment sizes a 24, b 17, c 17, d 24, e 17, f 17, g 20.
    const int litPerDigit[10] = {116, 34, 102, 102, 71, 102, 119, 58, 136, 119};
    const QRgb lit = qRgb(255, 0, 0);
    for (const QImage& strip :
         {vortan::trueColourDigitStrip(), vortan::sixteenColourDigitStrip()}) {
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
}

void RcadigiTest::formatWidthAndAccessibility()
{
    const struct {
        int value, formatWidth;
        QString text;
    } cases[] = {{7, 3, "007"}, {7, 0, "7"}, {7, 20, "7"}, {-5, 3, "-005"}};
    for (const auto& c : cases) {
        TRCADigital display;
        display.setToolTip(QStringLiteral("Tempo of chars\r\nTempo znak\u00f3w"));
        display.setValue(c.value);
        display.setFormatWidth(c.formatWidth); // rebuilds the text from the stored value
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&display);
        QVERIFY(iface && iface->valueInterface());
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Tempo of chars"));
        QCOMPARE(iface->text(QAccessible::Value), c.text);
        QCOMPARE(display.displayText(), c.text);
        iface->valueInterface()->setCurrentValue(5); // read-only
        QCOMPARE(display.value(), c.value);
    }
}

void RcadigiTest::cellsRightAligned()
{
    const struct {
        int width, value, gap;
        QList<int> lefts, digits; // drawn cells, rightmost first, and what each shows
    } cases[] = {
        {81, 123, 0, {57, 41, 25}, {3, 2, 1}},
        {57, 123, 0, {33, 17}, {3, 2}},
        {80, 1234, 0, {56, 40, 24}, {4, 3, 2}}, // the fourth would sit on the inset
        {81, 1234, 2, {57, 39, 21}, {4, 3, 2}},
        {81, -5, 0, {57}, {5}}, // no minus cell in the strip: nothing drawn
    };
    for (const auto& c : cases) {
        TRCADigital display;
        display.setGap(c.gap);
        display.setValue(c.value);
        const QImage picture = painted(display, c.width);
        QCOMPARE(picture.size(), QSize(c.width, 37));
        for (int i = 0; i < c.lefts.size(); ++i)
            QVERIFY2(showsCell(picture, c.lefts[i], 8, c.digits[i]),
                     qPrintable(QString("%1: cell at %2").arg(c.value).arg(c.lefts[i])));
        // Left of the last cell drawn, up to the inset, the face shows.
        for (int y = 8; y < 29; ++y)
            for (int x = 9; x < c.lefts.last() - c.gap; ++x)
                QVERIFY2(picture.pixel(x, y) == face, qPrintable(QString("%1,%2").arg(x).arg(y)));
    }
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

QTEST_MAIN(RcadigiTest)
#include "rcadigi_test.moc"
