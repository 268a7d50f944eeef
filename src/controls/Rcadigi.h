// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace vortan {

// A row of seven-segment digits on a bevelled panel. Each character is a cell copied pixel for
// pixel from the digit strip (`Numbers`: cells 0 to 9 the digits, an optional cell 10 the minus),
// right-aligned to the content inset. Pure display: it never reads anything by itself.
class TRCADigital : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QImage Numbers READ numbers WRITE setNumbers NOTIFY lookChanged)
    Q_PROPERTY(int NumberWidth READ numberWidth WRITE setNumberWidth NOTIFY lookChanged)
    Q_PROPERTY(int Value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int Margin READ margin WRITE setMargin NOTIFY lookChanged)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize NOTIFY lookChanged)
    Q_PROPERTY(int Gap READ gap WRITE setGap NOTIFY lookChanged)
    Q_PROPERTY(int FormatWidth READ formatWidth WRITE setFormatWidth NOTIFY lookChanged)
    Q_PROPERTY(Bevel BevelOuter READ bevelOuter WRITE setBevelOuter NOTIFY lookChanged)
    Q_PROPERTY(Bevel BevelInner READ bevelInner WRITE setBevelInner NOTIFY lookChanged)
    Q_PROPERTY(int BevelWidth READ bevelWidth WRITE setBevelWidth NOTIFY lookChanged)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth NOTIFY lookChanged)
    Q_PROPERTY(QColor Color READ color WRITE setColor NOTIFY lookChanged)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption NOTIFY lookChanged)

public:
    enum class Bevel { None, Lowered, Raised };
    Q_ENUM(Bevel)

    explicit TRCADigital(QWidget* parent = nullptr);
    ~TRCADigital() override;

    // The digit strip is copied; NumberWidth becomes its width / 10; the height rule applies.
    // A null image empties the strip, which draws no digits.
    void setNumbers(const QImage& strip);
    const QImage& numbers() const { return m_numbers; }

    void setNumberWidth(int pixels); // clamped to 0..65535
    int numberWidth() const { return m_numberWidth; }

    void setValue(std::int32_t value); // repaints even when unchanged
    std::int32_t value() const { return m_value; }

    void setMargin(int pixels); // clamped to 0..65535
    int margin() const { return m_margin; }

    void setAutoSize(bool on);
    bool autoSize() const { return m_autoSize; }

    void setGap(std::int32_t pixels);
    std::int32_t gap() const { return m_gap; }

    void setFormatWidth(int digits); // minimum digit count, clamped to 0..65535
    int formatWidth() const { return m_formatWidth; }

    void setBevelOuter(Bevel bevel);
    Bevel bevelOuter() const { return m_bevelOuter; }
    void setBevelInner(Bevel bevel);
    Bevel bevelInner() const { return m_bevelInner; }
    void setBevelWidth(int pixels); // at least 1
    int bevelWidth() const { return m_bevelWidth; }
    void setBorderWidth(int pixels); // at least 0
    int borderWidth() const { return m_borderWidth; }
    void setColor(const QColor& face);
    QColor color() const { return m_color; }
    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }

    // What is painted: the decimal value, zero-padded to FormatWidth digits, sign in front.
    const QString& displayText() const { return m_text; }
    // Bevels + border + Margin: the distance of the digits from every edge, in pixels.
    int contentInset() const;

    QSize sizeHint() const override;

    // Builds the display text for a value: "%.<formatWidth>d" as printf would.
    static QString formatValue(std::int32_t value, int formatWidth);

Q_SIGNALS:
    // Value changed (not sent when it is set to the number it already has).
    void valueChanged(int value);
    // Any other property changed, so the display looks different.
    void lookChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyHeightRule();
    // Stores a look property: repaints, and tells lookChanged when the value is a new one.
    template <class T> void setLook(T& field, const T& value);
    void paintBevel(class QPainter& painter, QRect& rect, Bevel bevel) const;

    QImage m_numbers;
    int m_numberWidth = 0;
    std::int32_t m_value = 0;
    int m_margin = 2;
    bool m_autoSize = true;
    std::int32_t m_gap = 0;
    int m_formatWidth = 1;
    Bevel m_bevelOuter = Bevel::Raised;
    Bevel m_bevelInner = Bevel::Lowered;
    int m_bevelWidth = 3;
    int m_borderWidth = 0;
    QColor m_color = Qt::black;
    QString m_caption;
    QString m_text = QStringLiteral("0");
};

} // namespace vortan
