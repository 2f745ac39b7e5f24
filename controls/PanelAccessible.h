#pragma once

#include <QAccessibleWidget>

namespace brisvale {

class ClickPanel;

// What assistive technology is told about a bevelled panel: a line of text
// named by its caption, whose changes the panel's label base announces; or,
// for a panel that works as a switch, a two-state button (a check box, as Qt
// presents its checkable push buttons) with its checked state that can be
// pressed.
class PanelAccessible : public QAccessibleWidget {
public:
    explicit PanelAccessible(ClickPanel *panel);

    // Makes Qt ask this class for every panel; safe to call often.
    static void install();

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    ClickPanel *panel() const;
};

} // namespace brisvale
