#include "controls/PanelAccessible.h"

#include "controls/ClickPanel.h"

namespace brisvale {

namespace {

QAccessibleInterface *panelFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(ClickPanel::staticMetaObject.className()))
        return new PanelAccessible(static_cast<ClickPanel *>(object));
    return nullptr;
}

} // namespace

PanelAccessible::PanelAccessible(ClickPanel *panel) : QAccessibleWidget(panel, QAccessible::StaticText) {}

void PanelAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(panelFactory);
        return true;
    }();
    (void)installed;
}

ClickPanel *PanelAccessible::panel() const { return static_cast<ClickPanel *>(widget()); }

QAccessible::Role PanelAccessible::role() const
{
    return panel()->isCheckable() ? QAccessible::CheckBox : QAccessible::StaticText;
}

QString PanelAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        if (panel()->accessibleName().isEmpty() && !panel()->isCheckable())
            return panel()->text().trimmed();
        break;
    case QAccessible::Description:
        // A switch is named for what it does; its caption tells what it does
        // now ("Draw", "Hold", "Over").
        if (panel()->accessibleDescription().isEmpty() && panel()->isCheckable())
            return panel()->text().trimmed();
        break;
    default: break;
    }
    return QAccessibleWidget::text(t);
}

QAccessible::State PanelAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    if (panel()->isCheckable()) {
        s.checkable = true;
        s.checked = panel()->isChecked();
        s.pressed = panel()->isChecked();
    } else {
        s.readOnly = true;
    }
    return s;
}

QStringList PanelAccessible::actionNames() const
{
    if (panel()->isCheckable() && panel()->isEnabled())
        return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
    return QAccessibleWidget::actionNames();
}

void PanelAccessible::doAction(const QString &actionName)
{
    if (panel()->isCheckable() && panel()->isEnabled() && (actionName == pressAction() || actionName == toggleAction()))
        emit panel()->clicked();
    else
        QAccessibleWidget::doAction(actionName);
}

} // namespace brisvale
