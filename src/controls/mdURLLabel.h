// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

#include <memory>

namespace vortan {

class WebBrowser;

// When the label acts as a link: always, never, or only when the desktop has a web browser.
enum class TmdLabelType { Auto, Passive, Link };

// A label showing a web address that, acting as a link, opens it in the user's browser when
// clicked. Its caption and font are not set directly: the caption comes from WebPage and
// ShowHTTP, the font is a copy of LinkFont or PassiveFont. Whether a browser is registered is
// asked once, when the label is built.
class TmdURLLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QFont LinkFont READ linkFont WRITE setLinkFont NOTIFY lookChanged)
    Q_PROPERTY(QFont PassiveFont READ passiveFont WRITE setPassiveFont NOTIFY lookChanged)
    Q_PROPERTY(QColor LinkColor READ linkColor WRITE setLinkColor NOTIFY lookChanged)
    Q_PROPERTY(QColor PassiveColor READ passiveColor WRITE setPassiveColor NOTIFY lookChanged)
    Q_PROPERTY(QString WebPage READ webPage WRITE setWebPage NOTIFY captionChanged)
    Q_PROPERTY(bool ShowHTTP READ showHTTP WRITE setShowHTTP NOTIFY captionChanged)
    Q_PROPERTY(TmdLabelType LabelType READ labelType WRITE setLabelType NOTIFY lookChanged)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize NOTIFY lookChanged)

public:
    // Asks the desktop's own browser registration.
    explicit TmdURLLabel(QWidget* parent = nullptr);
    // Asks the given browser instead (tests, other desktops).
    explicit TmdURLLabel(std::shared_ptr<const WebBrowser> browser, QWidget* parent = nullptr);
    ~TmdURLLabel() override;

    // The fonts take effect at the next setLabelType, not at once.
    QFont linkFont() const { return m_linkFont; }
    void setLinkFont(const QFont& font) { store(m_linkFont, font); }
    QFont passiveFont() const { return m_passiveFont; }
    void setPassiveFont(const QFont& font) { store(m_passiveFont, font); }
    // A QFont has no colour, so the colours of the two looks stand beside the fonts and take
    // effect with them. Link: blue; passive: invalid, meaning the window-text colour.
    QColor linkColor() const { return m_linkColor; }
    void setLinkColor(const QColor& colour) { store(m_linkColor, colour); }
    QColor passiveColor() const { return m_passiveColor; }
    void setPassiveColor(const QColor& colour) { store(m_passiveColor, colour); }

    // The address without a scheme; "http://" is put in front when it is opened.
    QString webPage() const { return m_webPage; }
    void setWebPage(const QString& webPage);

    // Whether the caption shows "http://" in front of the address (the opened address has it
    // always).
    bool showHTTP() const { return m_showHTTP; }
    void setShowHTTP(bool showHTTP);

    TmdLabelType labelType() const { return m_labelType; }
    void setLabelType(TmdLabelType labelType);

    // Whether the label sizes itself to its caption when the caption or look changes.
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);

    bool actsAsLink() const;

    // What a click does: clicked() first, then the address is opened when the label acts as a
    // link.
    void click();

Q_SIGNALS:
    void clicked();
    // WebPage or ShowHTTP changed, and with them the caption.
    void captionChanged();
    // A font, a colour, LabelType or AutoSize changed.
    void lookChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Stores a font or colour (they take effect at the next setLabelType), telling lookChanged
    // when the value is a new one.
    template <class T> void store(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        Q_EMIT lookChanged();
    }
    void applyCaption();
    void applyLook();

    std::shared_ptr<const WebBrowser> m_browser;
    bool m_browserFound = false;
    QFont m_linkFont;
    QFont m_passiveFont;
    QColor m_linkColor{0, 0, 255};
    QColor m_passiveColor;
    QString m_webPage;
    bool m_showHTTP = false;
    TmdLabelType m_labelType = TmdLabelType::Auto;
    bool m_autoSize = true;
    bool m_pressed = false;
};

} // namespace vortan
