// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/toolbar_glyphs.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTransform>

#include <cmath>

namespace vortan {

namespace {

constexpr int kSize = 16;

void drawDigit(QPainter& p, char digit)
{
    p.setPen(QPen(QColor(0x20, 0x3a, 0x78), 1));
    p.setBrush(QColor(0xe4, 0xec, 0xfa));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2.5, 2.5);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x20, 0x3a, 0x78));
    p.drawText(QRectF(0, 0.5, 16, 16), Qt::AlignCenter, QString(QLatin1Char(digit)));
}

void drawGlyph(QPainter& p, Glyph glyph)
{
    const QColor outline(0x30, 0x30, 0x30);
    switch (glyph) {
    case Glyph::Play: {
        QPainterPath triangle;
        triangle.moveTo(4, 2);
        triangle.lineTo(14, 8);
        triangle.lineTo(4, 14);
        triangle.closeSubpath();
        p.setPen(QPen(QColor(0x10, 0x60, 0x10), 1));
        p.setBrush(QColor(0x30, 0xb0, 0x30));
        p.drawPath(triangle);
        break;
    }
    case Glyph::Stop:
        p.setPen(QPen(QColor(0x70, 0x10, 0x10), 1));
        p.setBrush(QColor(0xc8, 0x28, 0x28));
        p.drawRect(QRectF(3.5, 3.5, 9, 9));
        break;
    case Glyph::Random: {
        p.setPen(QPen(outline, 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x20, 0x20, 0x20));
        for (const QPointF pip :
             {QPointF(5, 5), QPointF(11, 5), QPointF(8, 8), QPointF(5, 11), QPointF(11, 11)})
            p.drawEllipse(pip, 1.4, 1.4);
        break;
    }
    case Glyph::Clear: {
        // A blank page with its corner folded.
        QPainterPath page;
        page.moveTo(3.5, 1.5);
        page.lineTo(10.5, 1.5);
        page.lineTo(13.5, 4.5);
        page.lineTo(13.5, 14.5);
        page.lineTo(3.5, 14.5);
        page.closeSubpath();
        p.setPen(QPen(outline, 1));
        p.setBrush(Qt::white);
        p.drawPath(page);
        p.drawPolyline(QPolygonF({QPointF(10.5, 1.5), QPointF(10.5, 4.5), QPointF(13.5, 4.5)}));
        break;
    }
    case Glyph::Open: {
        p.setPen(QPen(QColor(0x80, 0x60, 0x10), 1));
        p.setBrush(QColor(0xe8, 0xc0, 0x50));
        p.drawRect(QRectF(1.5, 3.5, 6, 2));
        p.drawRect(QRectF(1.5, 5.5, 12, 8));
        QPainterPath flap;
        flap.moveTo(3.5, 7.5);
        flap.lineTo(15.5, 7.5);
        flap.lineTo(13.5, 13.5);
        flap.lineTo(1.5, 13.5);
        flap.closeSubpath();
        p.setBrush(QColor(0xf8, 0xdc, 0x78));
        p.drawPath(flap);
        break;
    }
    case Glyph::Save:
        p.setPen(QPen(QColor(0x10, 0x20, 0x50), 1));
        p.setBrush(QColor(0x30, 0x50, 0xa0));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(0xc0, 0xc8, 0xd8));
        p.drawRect(QRectF(3.5, 9.5, 9, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x30, 0x50, 0xa0));
        p.drawRect(QRectF(9, 2, 2, 4));
        break;
    case Glyph::Wav: {
        // A tone burst: a sine that swells and fades.
        QPolygonF wave;
        for (qreal x = 1; x <= 15; x += 0.25) {
            const qreal swell = std::sin((x - 1) / 14 * M_PI);
            wave << QPointF(x, 8 - 6 * swell * std::sin((x - 1) * 2 * M_PI / 4));
        }
        p.setPen(QPen(QColor(0x10, 0x40, 0x90), 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawPolyline(wave);
        break;
    }
    case Glyph::About: {
        p.setPen(QPen(QColor(0x10, 0x30, 0x80), 1));
        p.setBrush(QColor(0x30, 0x60, 0xd0));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 4.8), 1.2, 1.2);
        p.drawRect(QRectF(7, 7, 2, 5.5));
        break;
    }
    case Glyph::Defaults: {
        // A circular arrow turning back to its start.
        p.setPen(QPen(QColor(0x10, 0x60, 0x30), 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 100 * 16, 290 * 16);
        QPainterPath head;
        head.moveTo(6.5, 0.5);
        head.lineTo(10.5, 3.2);
        head.lineTo(6.5, 6.5);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x10, 0x60, 0x30));
        p.drawPath(head);
        break;
    }
    case Glyph::Print:
        p.setPen(QPen(outline, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(0x90, 0x90, 0x98));
        p.drawRect(QRectF(1.5, 6.5, 13, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x30, 0xc0, 0x30));
        p.drawRect(QRectF(12, 8, 1.5, 1.5));
        break;
    case Glyph::Settings1:
        drawDigit(p, '1');
        break;
    case Glyph::Settings2:
        drawDigit(p, '2');
        break;
    case Glyph::Settings3:
        drawDigit(p, '3');
        break;
    case Glyph::Options: {
        // A cogwheel of eight teeth round a hole.
        QPainterPath wheel;
        wheel.setFillRule(Qt::WindingFill);
        wheel.addEllipse(QPointF(8, 8), 5, 5);
        for (int tooth = 0; tooth < 8; ++tooth) {
            QTransform turn;
            turn.translate(8, 8);
            turn.rotate(45.0 * tooth);
            wheel.addPolygon(turn.map(QPolygonF(QRectF(-1.5, -7.5, 3, 4))));
        }
        QPainterPath hole;
        hole.addEllipse(QPointF(8, 8), 2, 2);
        p.setPen(QPen(QColor(0x30, 0x38, 0x48), 1));
        p.setBrush(QColor(0x90, 0xa0, 0xb8));
        p.drawPath(wheel.simplified().subtracted(hole));
        break;
    }
    case Glyph::CheckCopy: {
        // A sheet of copy with a tick.
        p.setPen(QPen(outline, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, 9, 12));
        p.setPen(QPen(QColor(0x90, 0x90, 0x98), 1));
        for (const double y : {4.5, 7.5, 10.5})
            p.drawLine(QPointF(4.5, y), QPointF(9.5, y));
        p.setPen(QPen(QColor(0x20, 0xa0, 0x30), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(7.5, 10.5), QPointF(10, 13.5), QPointF(14.5, 6.5)}));
        break;
    }
    case Glyph::Progress: {
        // Three rising bars on a base line.
        p.setPen(QPen(outline, 1));
        p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
        p.setBrush(QColor(0x50, 0x80, 0xd0));
        p.drawRect(QRectF(2.5, 9.5, 3, 5));
        p.drawRect(QRectF(6.5, 6.5, 3, 8));
        p.drawRect(QRectF(10.5, 2.5, 3, 12));
        break;
    }
    }
}

// The disabled look: grey, lighter and half transparent, as buttons of a plain toolbar show it.
QImage greyed(const QImage& image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const int grey = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
        }
    }
    return result;
}

} // namespace

QImage glyphImage(Glyph glyph)
{
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawGlyph(painter, glyph);
    return image;
}

QIcon glyphIcon(Glyph glyph)
{
    const QImage image = glyphImage(glyph);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(greyed(image)), QIcon::Disabled);
    return icon;
}

QImage backgroundPicture()
{
    QImage image(640, 125, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, 125);
    gradient.setColorAt(0.0, QColor(0xf4, 0xf1, 0xec));
    gradient.setColorAt(0.4, QColor(0xe2, 0xdd, 0xd4));
    gradient.setColorAt(1.0, QColor(0xcf, 0xc8, 0xbc));
    painter.fillRect(image.rect(), gradient);
    // Faint horizontal grain; a fixed seed keeps the picture the same at every start.
    QRandomGenerator grain(1250);
    for (int y = 0; y < image.height(); ++y) {
        const int shade = static_cast<int>(grain.bounded(10)) - 5;
        painter.setPen(QColor(shade > 0 ? 255 : 0, shade > 0 ? 255 : 0, shade > 0 ? 255 : 0,
                              std::abs(shade) * 3));
        painter.drawLine(0, y, image.width(), y);
    }
    return image;
}

} // namespace vortan
