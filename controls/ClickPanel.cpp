#include "controls/ClickPanel.h"

#include "controls/PanelAccessible.h"

#include <QAccessible>
#include <QMouseEvent>

namespace brisvale {

ClickPanel::ClickPanel(QWidget *parent, Bevel bevel) : platform::FittedLabel(parent)
{
    PanelAccessible::install();
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    switch (bevel) {
    case Bevel::Raised:
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(1);
        break;
    case Bevel::Lowered:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
        break;
    case Bevel::LoweredDouble:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
        break;
    }
    setColor(QColor());
}

void ClickPanel::setColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color.isValid() ? color : pal.color(QPalette::Button));
    // A disabled panel keeps its colour: "Over" panels are blue and disabled.
    pal.setColor(QPalette::Disabled, QPalette::Window, pal.color(QPalette::Active, QPalette::Window));
    setPalette(pal);
}

QColor ClickPanel::color() const { return palette().color(QPalette::Active, QPalette::Window); }

void ClickPanel::setTextColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

void ClickPanel::setChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    QAccessible::State changed;
    changed.checked = true;
    changed.pressed = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void ClickPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    platform::FittedLabel::mousePressEvent(event);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
    platform::FittedLabel::mouseReleaseEvent(event);
}

} // namespace brisvale
