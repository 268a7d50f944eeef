#include "controls/Rcadigi.h"
#include "controls/digit_strip.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QtTest/qtestaccessible.h>
#include <QtTest>

#include <limits>

using vortan::TRCADigital;

namespace {

constexpr QRgb face = qRgb(0, 0, 200); // not in any strip, so untouched cells stand out

// The program's configuration on a display of the given width.
void configure(TRCADigital& display, int width)
{
    display.setNumbers(vortan::trueColourDigitStrip());
    display.setNumberWidth(16);
    display.setColor(QColor::fromRgb(face));
    display.resize(width, 10);
}

QImage grabbed(TRCADigital& display)
{
    return display.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The face shows strip cell `cell` with its top-left corner at (left, top), pixel for pixel.
bool showsCell(const QImage& picture, int left, int top, const QImage& strip, int cell, int width)
{
    const QImage source = strip.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < width; ++x)
            if (picture.pixel(left + x, top + y) != source.pixel(cell * width + x, y))
                return false;
    return true;
}

bool isFace(const QImage& picture, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (picture.pixel(x, y) != face)
                return false;
    return true;
}

int countPixels(const QImage& strip, int digit, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 16; ++x)
            count += strip.pixel(digit * 16 + x, y) == colour;
    return count;
}

} // namespace

class RcadigiTest : public QObject {
    Q_OBJECT

private slots:
    void stripFollowsSegmentTable_data();
    void stripFollowsSegmentTable();
    void displayText_data();
    void displayText();
    void cellsRightAligned_data();
    void cellsRightAligned();
    void newDisplayShowsZero();
    void heightRule();
    void marginMovesDigits();
    void wideStripAndMinusCell();
    void neverReadsOutsideStrip();
    void grabIsNotScaled();
    void bevelsLitFromTopLeft();
    void accessibleNameAndValue();
};

void RcadigiTest::stripFollowsSegmentTable_data()
{
    QTest::addColumn<QImage>("strip");
    QTest::addColumn<QRgb>("unlit");
    QTest::newRow("true colour") << vortan::trueColourDigitStrip() << qRgb(80, 0, 0);
    QTest::newRow("16 colours") << vortan::sixteenColourDigitStrip() << qRgb(128, 0, 0);
}

void RcadigiTest::stripFollowsSegmentTable()
{
    QFETCH(QImage, strip);
    QFETCH(QRgb, unlit);
    QCOMPARE(strip.size(), QSize(160, 21));
    const QRgb lit = qRgb(255, 0, 0);
    // Segment sizes from the table: a 24, b 17, c 17, d 24, e 17, f 17, g 20; 136 in all.
    const int litPerDigit[10] = {116, 34, 102, 102, 71, 102, 119, 58, 136, 119};
    for (int digit = 0; digit < 10; ++digit) {
        QCOMPARE(countPixels(strip, digit, lit), litPerDigit[digit]);
        QCOMPARE(countPixels(strip, digit, unlit), 136 - litPerDigit[digit]);
        QCOMPARE(countPixels(strip, digit, qRgb(0, 0, 0)), 16 * 21 - 136);
    }
    // Spot checks: g's widest row (10: 4-11) is dark in 0 and lit in 8; 1 lights column 13 of
    // row 3 (b) and row 17 (c) but not row 2 (a).
    QCOMPARE(strip.pixel(0 * 16 + 4, 10), unlit);
    QCOMPARE(strip.pixel(8 * 16 + 11, 10), lit);
    QCOMPARE(strip.pixel(1 * 16 + 13, 3), lit);
    QCOMPARE(strip.pixel(1 * 16 + 13, 17), lit);
    QCOMPARE(strip.pixel(1 * 16 + 3, 2), unlit);
    QCOMPARE(strip.pixel(1 * 16 + 1, 10), qRgb(0, 0, 0));
    if (strip.format() == QImage::Format_Indexed8)
        QCOMPARE(strip.colorCount(), 16);
}

void RcadigiTest::displayText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("formatWidth");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << 123 << 1 << "123";
    QTest::newRow("padded") << 7 << 3 << "007";
    QTest::newRow("width 0 still one digit") << 7 << 0 << "7";
    QTest::newRow("zero width 0") << 0 << 0 << "0";
    QTest::newRow("width 20 adds nothing") << 7 << 20 << "7";
    QTest::newRow("width 15 pads") << 7 << 15 << "000000000000007";
    QTest::newRow("sign before zeros") << -5 << 3 << "-005";
    QTest::newRow("most negative") << std::numeric_limits<int>::min() << 1 << "-2147483648";
}

void RcadigiTest::displayText()
{
    QFETCH(int, value);
    QFETCH(int, formatWidth);
    QFETCH(QString, text);
    TRCADigital display;
    display.setValue(value);
    display.setFormatWidth(formatWidth); // rebuilds the text from the stored value
    QCOMPARE(display.displayText(), text);
    QCOMPARE(display.value(), value);
}

void RcadigiTest::cellsRightAligned_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("gap");
    QTest::addColumn<QList<int>>("lefts");  // drawn cells, rightmost first
    QTest::addColumn<QList<int>>("digits"); // what each shows
    QTest::addColumn<int>("faceFrom");      // left of it, up to the inset, stays face
    QTest::newRow("123 on 81") << 81 << 123 << 0 << QList<int>{57, 41, 25} << QList<int>{3, 2, 1}
                               << 9;
    QTest::newRow("123 on 57") << 57 << 123 << 0 << QList<int>{33, 17} << QList<int>{3, 2} << 9;
    QTest::newRow("four on 81") << 81 << 9876 << 0 << QList<int>{57, 41, 25, 9}
                                << QList<int>{6, 7, 8, 9} << 9;
    QTest::newRow("gap 2") << 81 << 1234 << 2 << QList<int>{57, 39, 21} << QList<int>{4, 3, 2} << 9;
    QTest::newRow("minus without cell") << 81 << -5 << 0 << QList<int>{57} << QList<int>{5} << 9;
}

void RcadigiTest::cellsRightAligned()
{
    QFETCH(int, width);
    QFETCH(int, value);
    QFETCH(int, gap);
    QFETCH(QList<int>, lefts);
    QFETCH(QList<int>, digits);
    QFETCH(int, faceFrom);
    TRCADigital display;
    configure(display, width);
    display.setGap(gap);
    display.setValue(value);
    const QImage picture = grabbed(display);
    QCOMPARE(picture.size(), QSize(width, 37));
    for (int i = 0; i < lefts.size(); ++i)
        QVERIFY2(showsCell(picture, lefts[i], 8, display.numbers(), digits[i], 16),
                 qPrintable(QStringLiteral("cell at %1").arg(lefts[i])));
    const int lastLeft = lefts.last();
    QVERIFY(isFace(picture, QRect(faceFrom, 8, lastLeft - gap - faceFrom, 21)));
}

void RcadigiTest::newDisplayShowsZero()
{
    TRCADigital display;
    configure(display, 81);
    const QImage picture = grabbed(display);
    QVERIFY(showsCell(picture, 57, 8, display.numbers(), 0, 16));
    QVERIFY(isFace(picture, QRect(9, 8, 48, 21)));
}

void RcadigiTest::heightRule()
{
    TRCADigital display;
    configure(display, 81);
    display.show(); // a hidden widget gets its size changes only when shown
    QCOMPARE(display.size(), QSize(81, 37));
    display.resize(81, 100);
    QCOMPARE(display.size(), QSize(81, 37));
    display.setAutoSize(false);
    display.resize(90, 100);
    QCOMPARE(display.size(), QSize(90, 100));
    display.setAutoSize(true);
    QCOMPARE(display.size(), QSize(90, 37));
    display.setNumbers(QImage()); // an empty strip: only the bevels remain
    QCOMPARE(display.height(), 16);
}

void RcadigiTest::marginMovesDigits()
{
    TRCADigital display;
    configure(display, 81);
    display.setValue(8);
    display.setMargin(4);
    QCOMPARE(display.size(), QSize(81, 41));
    QVERIFY(showsCell(grabbed(display), 55, 10, display.numbers(), 8, 16));
}

void RcadigiTest::wideStripAndMinusCell()
{
    QImage strip(176, 21, QImage::Format_RGB32);
    strip.fill(qRgb(0, 0, 0));
    for (int cell = 0; cell < 11; ++cell)
        strip.setPixel(cell * 16 + 5, 7, qRgb(10 * cell, 255, 0)); // a mark telling cells apart
    TRCADigital display;
    display.setColor(QColor::fromRgb(face));
    display.resize(81, 10);
    display.setNumbers(strip);
    QCOMPARE(display.numberWidth(), 17);
    display.setNumberWidth(16);
    display.setValue(-1);
    const QImage picture = grabbed(display);
    QVERIFY(showsCell(picture, 57, 8, strip, 1, 16));
    QVERIFY(showsCell(picture, 41, 8, strip, 10, 16));
}

void RcadigiTest::neverReadsOutsideStrip()
{
    // Cells that would reach beyond the strip are left face colour (ASan watches the reads).
    QImage narrow(10, 21, QImage::Format_RGB32);
    narrow.fill(qRgb(255, 0, 0));
    TRCADigital display;
    display.setColor(QColor::fromRgb(face));
    display.resize(81, 10);
    display.setNumbers(narrow);
    display.setNumberWidth(16);
    display.setValue(-88);
    QVERIFY(isFace(grabbed(display), QRect(9, 8, 64, 21)));
    display.setNumberWidth(65535);
    display.setGap(std::numeric_limits<int>::min());
    QVERIFY(isFace(grabbed(display), QRect(9, 8, 64, 21)));
}

void RcadigiTest::grabIsNotScaled()
{
    TRCADigital display;
    configure(display, 81);
    const QPixmap pixmap = display.grab();
    QCOMPARE(pixmap.devicePixelRatio(), 1.0);
    QCOMPARE(pixmap.size(), QSize(81, 37));
}

void RcadigiTest::bevelsLitFromTopLeft()
{
    TRCADigital display;
    configure(display, 81);
    const QImage picture = grabbed(display);
    const QRgb light = display.palette().color(QPalette::Light).rgb();
    const QRgb dark = display.palette().color(QPalette::Dark).rgb();
    // Outer raised: light top/left, dark bottom/right; inner lowered: the other way round.
    QCOMPARE(picture.pixel(0, 0), light);
    QCOMPARE(picture.pixel(40, 2), light);
    QCOMPARE(picture.pixel(80, 20), dark);
    QCOMPARE(picture.pixel(40, 36), dark);
    QCOMPARE(picture.pixel(3, 20), dark);
    QCOMPARE(picture.pixel(77, 20), light);
    QCOMPARE(picture.pixel(7, 20), face);
}

void RcadigiTest::accessibleNameAndValue()
{
    QTestAccessibility::initialize();
    TRCADigital display;
    display.setToolTip(QStringLiteral("Tempo of chars\r\nTempo znak\u00f3w"));
    display.setValue(60);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&display);
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Tempo of chars"));
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("60"));
    QAccessibleValueInterface* value = iface->valueInterface();
    QVERIFY(value);
    QCOMPARE(value->currentValue().toInt(), 60);
    value->setCurrentValue(5); // read-only
    QCOMPARE(display.value(), 60);

    display.setToolTip(QStringLiteral("Speed\nPr\u0119dko\u015b\u0107"));
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Speed"));
    QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("Pr\u0119dko\u015b\u0107"));
    display.setValue(-7);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("-7"));

    // Qt hands events on only while an assistive technology listens (an AT-SPI bus).
    if (!QAccessible::isActive()) {
        QTestAccessibility::cleanup();
        QSKIP("accessibility is inactive here (no AT-SPI bus): value change event not checked");
    }
    QTestAccessibility::clearEvents();
    display.setValue(12);
    QAccessibleValueChangeEvent expected(&display, 12);
    QVERIFY(QTestAccessibility::containsEvent(&expected));
    QTestAccessibility::cleanup();
}

QTEST_MAIN(RcadigiTest)
#include "rcadigi_test.moc"
