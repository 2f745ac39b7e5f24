#pragma once

#include <QLabel>

namespace brisvale {

// A bevelled panel with a centred caption that reports left clicks. Like any
// disabled control it ignores the mouse while disabled.
class ClickPanel : public QLabel {
    Q_OBJECT
public:
    enum class Bevel { Raised, Lowered, LoweredDouble };

    explicit ClickPanel(QWidget *parent = nullptr, Bevel bevel = Bevel::Raised);

    // Background colour; an invalid colour returns to the button face.
    void setColor(const QColor &color);
    QColor color() const;
    void setTextColor(const QColor &color);
    // A caption wider than the panel is shown in a smaller font that fits,
    // rather than cut at both ends.
    QFont fittedFont() const;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool pressed_ = false;
};

} // namespace brisvale
