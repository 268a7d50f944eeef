// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/accessible_group.h"

#include "desktop/accessible_factories.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QAction>
#include <QToolButton>

namespace vortan {

namespace {

// A button of a group: a radio button with Qt's button actions (Press clicks it,
// Toggle toggles it) and its shortcut as the key of Press.
class GroupedButtonAccessible final : public QAccessibleWidget {
public:
    explicit GroupedButtonAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = button()->isCheckable();
        state.checked = button()->isChecked();
        return state;
    }

    QStringList actionNames() const override
    {
        if (!button()->isEnabled())
            return {};
        if (!button()->isCheckable())
            return {pressAction()};
        return {pressAction(), toggleAction()};
    }

    void doAction(const QString& action) override
    {
        if (!button()->isEnabled())
            return;
        if (action == pressAction())
            button()->animateClick();
        else if (action == toggleAction())
            button()->toggle();
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action != pressAction())
            return {};
        // A button that shows an action has the action's key.
        const auto* tool = qobject_cast<const QToolButton*>(button());
        const QKeySequence keys = tool != nullptr && tool->defaultAction() != nullptr
                                      ? tool->defaultAction()->shortcut()
                                      : button()->shortcut();
        if (keys.isEmpty())
            return {};
        return {keys.toString(QKeySequence::NativeText)};
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* groupAccessible(const QString& className, QObject* object)
{
    if (!object->isWidgetType())
        return nullptr;
    if (className == QLatin1StringView("vortan::AccessibleGroup"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    // Not asked whether it is checkable: the interface may be made while the layout is still
    // being applied, before the button is told so.
    auto* button = qobject_cast<QAbstractButton*>(object);
    if (button != nullptr && qobject_cast<AccessibleGroup*>(button->parent()) != nullptr)
        return new GroupedButtonAccessible(button);
    return nullptr;
}

} // namespace

AccessibleGroup::AccessibleGroup(QWidget* parent)
    : QWidget(parent)
{
    installAccessibleFactory(groupAccessible);
}

} // namespace vortan
