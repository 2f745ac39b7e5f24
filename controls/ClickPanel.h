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

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pressed_ = false;
};

} // namespace brisvale
