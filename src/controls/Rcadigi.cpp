// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Rcadigi.h"

#include "desktop/accessible_factories.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace vortan {
namespace {

int clampUnsigned16(int value)
{
    return std::clamp(value, 0, 65535);
}

// Screen readers cannot see painted digits, so the display tells them its number.
class RCADigitalAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit RCADigitalAccessible(TRCADigital* display)
        : QAccessibleWidget(display, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return name();
        case QAccessible::Value:
            return display()->displayText();
        case QAccessible::Description: {
            // The second line of a bilingual hint, when there is one.
            const QStringList lines = hintLines();
            return lines.size() > 1 ? lines.mid(1).join(QLatin1Char(' ')) : QString();
        }
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return display()->value(); }
    void setCurrentValue(const QVariant&) override {} // a display is read-only
    QVariant maximumValue() const override { return std::numeric_limits<std::int32_t>::max(); }
    QVariant minimumValue() const override { return std::numeric_limits<std::int32_t>::min(); }
    QVariant minimumStepSize() const override { return 0; }

private:
    TRCADigital* display() const { return static_cast<TRCADigital*>(widget()); }

    QStringList hintLines() const
    {
        QString hint = display()->toolTip();
        hint.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        return hint.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QString name() const
    {
        if (!display()->accessibleName().isEmpty())
            return display()->accessibleName();
        const QStringList lines = hintLines();
        return lines.isEmpty() ? QString() : lines.first().trimmed();
    }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("vortan::TRCADigital") && object && object->isWidgetType())
        return new RCADigitalAccessible(static_cast<TRCADigital*>(object));
    return nullptr;
}

} // namespace

TRCADigital::TRCADigital(QWidget* parent)
    : QWidget(parent)
{
    installAccessibleFactory(accessibleFactory);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

TRCADigital::~TRCADigital() = default;

int TRCADigital::contentInset() const
{
    int inset = m_borderWidth + m_margin;
    if (m_bevelOuter != Bevel::None)
        inset += m_bevelWidth;
    if (m_bevelInner != Bevel::None)
        inset += m_bevelWidth;
    return inset;
}

QSize TRCADigital::sizeHint() const
{
    // Room for four characters, as the program's displays have.
    const int inset = contentInset();
    const int cellWidth = m_numberWidth > 0 ? m_numberWidth : 16;
    // With AutoSize the height is exactly what the height rule keeps.
    const int stripHeight = m_numbers.isNull() && !m_autoSize ? 21 : m_numbers.height();
    return {2 * inset + 4 * cellWidth + 1, stripHeight + 2 * inset};
}

QString TRCADigital::formatValue(std::int32_t value, int formatWidth)
{
    QString digits = QString::number(std::llabs(static_cast<long long>(value)));
    // Precisions of 16 and more add no zeros at all, as the original formatter did.
    if (formatWidth < 16 && digits.size() < formatWidth)
        digits.prepend(QString(formatWidth - digits.size(), QLatin1Char('0')));
    if (value < 0)
        digits.prepend(QLatin1Char('-'));
    return digits;
}

template <class T> void TRCADigital::setLook(T& field, const T& value)
{
    const bool changed = field != value;
    field = value;
    update();
    if (changed)
        Q_EMIT lookChanged();
}

void TRCADigital::setNumbers(const QImage& strip)
{
    m_numbers = strip;
    // No smoothing anywhere: one strip pixel is one device pixel.
    m_numbers.setDevicePixelRatio(1.0);
    m_numberWidth = clampUnsigned16(m_numbers.width() / 10);
    applyHeightRule();
    update();
    Q_EMIT lookChanged(); // comparing strips costs more than a needless notification
}

void TRCADigital::setNumberWidth(int pixels)
{
    setLook(m_numberWidth, clampUnsigned16(pixels));
}

void TRCADigital::setValue(std::int32_t value)
{
    const bool changed = m_value != value;
    m_value = value;
    m_text = formatValue(m_value, m_formatWidth);
    update();
    QAccessibleValueChangeEvent event(this, m_value);
    QAccessible::updateAccessibility(&event);
    if (changed)
        Q_EMIT valueChanged(m_value);
}

void TRCADigital::setMargin(int pixels)
{
    setLook(m_margin, clampUnsigned16(pixels));
    applyHeightRule();
}

void TRCADigital::setAutoSize(bool on)
{
    setSizePolicy(QSizePolicy::Preferred, on ? QSizePolicy::Fixed : QSizePolicy::Preferred);
    setLook(m_autoSize, on);
    applyHeightRule();
}

void TRCADigital::setGap(std::int32_t pixels)
{
    setLook(m_gap, pixels);
}

void TRCADigital::setFormatWidth(int digits)
{
    setLook(m_formatWidth, clampUnsigned16(digits));
    setValue(m_value); // the same number in the new width: text, picture and screen readers
}

void TRCADigital::setBevelOuter(Bevel bevel)
{
    setLook(m_bevelOuter, bevel);
}

void TRCADigital::setBevelInner(Bevel bevel)
{
    setLook(m_bevelInner, bevel);
}

void TRCADigital::setBevelWidth(int pixels)
{
    setLook(m_bevelWidth, std::max(1, pixels));
}

void TRCADigital::setBorderWidth(int pixels)
{
    setLook(m_borderWidth, std::max(0, pixels));
}

void TRCADigital::setColor(const QColor& face)
{
    setLook(m_color, face);
}

void TRCADigital::setCaption(const QString& caption)
{
    setLook(m_caption, caption);
}

void TRCADigital::applyHeightRule()
{
    if (!m_autoSize)
        return;
    const int wanted = m_numbers.height() + 2 * contentInset();
    updateGeometry();
    if (height() != wanted)
        resize(width(), wanted);
}

void TRCADigital::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyHeightRule();
}

// One Windows-style 3D frame `bevelWidth` rings deep; shrinks rect past it.
void TRCADigital::paintBevel(QPainter& painter, QRect& rect, Bevel bevel) const
{
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor topLeft = bevel == Bevel::Raised ? light : dark;
    const QColor bottomRight = bevel == Bevel::Raised ? dark : light;
    for (int ring = 0; ring < m_bevelWidth && rect.width() > 0 && rect.height() > 0; ++ring) {
        painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
        painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
        painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
        painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
}

void TRCADigital::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect rect = this->rect();
    if (m_bevelOuter != Bevel::None)
        paintBevel(painter, rect, m_bevelOuter);
    if (m_borderWidth > 0) {
        painter.fillRect(rect, m_color);
        rect.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
    }
    if (m_bevelInner != Bevel::None)
        paintBevel(painter, rect, m_bevelInner);
    if (rect.isValid())
        painter.fillRect(rect, m_color);
    if (!m_caption.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        painter.drawText(rect, Qt::AlignCenter, m_caption);
    }

    if (m_numbers.isNull() || m_numberWidth <= 0)
        return;
    const int inset = contentInset();
    const int stripHeight = m_numbers.height();
    long long x = static_cast<long long>(width()) - inset;
    for (qsizetype i = m_text.size() - 1; i >= 0; --i) {
        const long long left = x - m_numberWidth;
        if (left > inset) {
            const QChar c = m_text.at(i);
            const int cell = c == QLatin1Char('-') ? 10 : c.digitValue();
            const long long sourceColumn = static_cast<long long>(cell) * m_numberWidth;
            // Never read beyond the strip: a missing cell (no minus glyph) draws nothing.
            if (cell >= 0 && sourceColumn + m_numberWidth <= m_numbers.width()) {
                painter.drawImage(QRect(int(left), inset, m_numberWidth, stripHeight), m_numbers,
                                  QRect(int(sourceColumn), 0, m_numberWidth, stripHeight));
            }
        }
        x = left - m_gap;
    }
}

} // namespace vortan
