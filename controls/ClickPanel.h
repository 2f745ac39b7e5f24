#pragma once

#include "platform/FittedLabel.h"

namespace brisvale {

// A bevelled panel with a centred caption that reports left clicks. Like any
// disabled control it ignores the mouse while disabled. A caption wider than
// the panel is shown in a smaller font rather than cut at both ends.
class ClickPanel : public platform::FittedLabel {
    Q_OBJECT
public:
    enum class Bevel { Raised, Lowered, LoweredDouble };

    explicit ClickPanel(QWidget *parent = nullptr, Bevel bevel = Bevel::Raised);

    // Background colour; an invalid colour returns to the button face.
    void setColor(const QColor &color);
    QColor color() const;
    void setTextColor(const QColor &color);

    // A panel that works as a switch (a hold panel). Its caption and colour
    // show the state on screen; these tell assistive technology, which then
    // presents the panel as a two-state button instead of a text.
    bool isCheckable() const { return checkable_; }
    void setCheckable(bool checkable) { checkable_ = checkable; }
    bool isChecked() const { return checked_; }
    void setChecked(bool checked);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pressed_ = false;
    bool checkable_ = false;
    bool checked_ = false;
};

} // namespace brisvale
