// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/mdURLLabel.h"

#include "desktop/accessible_factories.h"
#include "desktop/webBrowser.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>

namespace vortan {

namespace {

constexpr QLatin1StringView defaultWebPage{"vortan.example.org"};

// Screen readers hear the label as a link named by its address, with a press action that opens
// it while it acts as a link.
class AccessibleURLLabel final : public QAccessibleWidget {
public:
    explicit AccessibleURLLabel(TmdURLLabel* label)
        : QAccessibleWidget(label,
                            label->actsAsLink() ? QAccessible::Link : QAccessible::StaticText)
    {
    }

    QAccessible::Role role() const override
    {
        return label()->actsAsLink() ? QAccessible::Link : QAccessible::StaticText;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString name = label()->accessibleName();
            return name.isEmpty() ? label()->text() : name;
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return label()->actsAsLink() ? QStringList{pressAction()} : QStringList{};
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction() && label()->actsAsLink())
            label()->click();
    }

private:
    TmdURLLabel* label() const { return static_cast<TmdURLLabel*>(widget()); }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1StringView("vortan::TmdURLLabel") && object && object->isWidgetType())
        return new AccessibleURLLabel(static_cast<TmdURLLabel*>(object));
    return nullptr;
}

} // namespace

TmdURLLabel::TmdURLLabel(QWidget* parent)
    : TmdURLLabel(std::make_shared<DesktopWebBrowser>(), parent)
{
}

TmdURLLabel::TmdURLLabel(std::shared_ptr<const WebBrowser> browser, QWidget* parent)
    : QLabel(parent)
    , m_browser(std::move(browser))
{
    installAccessibleFactory(accessibleFactory);
    m_browserFound = m_browser && m_browser->canOpenWebPages();
    m_linkFont = font();
    m_linkFont.setUnderline(true);
    m_passiveFont = font();
    // Addresses may hold "&" or "<": show them as they stand.
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setWebPage(defaultWebPage);
    applyLook();
}

TmdURLLabel::~TmdURLLabel() = default;

void TmdURLLabel::setWebPage(const QString& webPage)
{
    const bool changed = m_webPage != webPage;
    m_webPage = webPage;
    applyCaption();
    if (changed)
        Q_EMIT captionChanged();
}

void TmdURLLabel::setShowHTTP(bool showHTTP)
{
    const bool changed = m_showHTTP != showHTTP;
    m_showHTTP = showHTTP;
    applyCaption();
    if (changed)
        Q_EMIT captionChanged();
}

void TmdURLLabel::setLabelType(TmdLabelType labelType)
{
    // The fonts take effect here even when the type stays the same.
    const bool changed = m_labelType != labelType;
    m_labelType = labelType;
    applyLook();
    if (changed)
        Q_EMIT lookChanged();
}

void TmdURLLabel::setAutoSize(bool autoSize)
{
    const bool changed = m_autoSize != autoSize;
    m_autoSize = autoSize;
    if (m_autoSize)
        adjustSize();
    if (changed)
        Q_EMIT lookChanged();
}

bool TmdURLLabel::actsAsLink() const
{
    return m_labelType == TmdLabelType::Link ||
           (m_labelType == TmdLabelType::Auto && m_browserFound);
}

void TmdURLLabel::click()
{
    Q_EMIT clicked();
    if (actsAsLink() && m_browser)
        m_browser->openWebPage(QStringLiteral("http://") + m_webPage);
}

void TmdURLLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QLabel::mousePressEvent(event);
}

void TmdURLLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = m_pressed && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (wasPressed && rect().contains(event->position().toPoint()))
        click();
}

void TmdURLLabel::applyCaption()
{
    setText(m_showHTTP ? QStringLiteral("http://") + m_webPage : m_webPage);
    if (m_autoSize)
        adjustSize();
    if (QAccessible::isActive()) {
        QAccessibleEvent nameChanged(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&nameChanged);
    }
}

void TmdURLLabel::applyLook()
{
    const bool link = actsAsLink();
    setFont(link ? m_linkFont : m_passiveFont);
    const QColor colour = link ? m_linkColor : m_passiveColor;
    if (colour.isValid()) {
        QPalette colours;
        colours.setColor(QPalette::WindowText, colour);
        setPalette(colours);
    } else {
        setPalette(QPalette()); // back to the inherited colours
    }
    if (m_autoSize)
        adjustSize();
    if (link)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

} // namespace vortan
