#include "game/PieGauge.h"

#include "game/GaugeAccessible.h"

#include <QAccessible>
#include <QPainter>
#include <algorithm>

namespace brisvale {

PieGauge::PieGauge(QWidget *parent) : QWidget(parent) { GaugeAccessible::install(); }

void PieGauge::setProgress(int percent)
{
    const int progress = std::clamp(percent, 0, 100);
    if (progress == progress_)
        return;
    progress_ = progress;
    update();
    QAccessibleValueChangeEvent event(this, progress_);
    QAccessible::updateAccessibility(&event);
}

void PieGauge::setForeColor(const QColor &color)
{
    fore_ = color;
    update();
}

void PieGauge::setBackColor(const QColor &color)
{
    back_ = color;
    update();
}

void PieGauge::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF pie = QRectF(rect()).adjusted(1, 1, -1, -1);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(back_);
    p.drawEllipse(pie);
    if (progress_ > 0) {
        p.setBrush(fore_);
        // Qt angles are in 1/16 degree, counter-clockwise from three o'clock;
        // the share grows clockwise from twelve o'clock.
        const int span = -progress_ * 360 * 16 / 100;
        if (progress_ >= 100)
            p.drawEllipse(pie);
        else
            p.drawPie(pie, 90 * 16, span);
    }
    p.setPen(Qt::black);
    p.drawText(rect(), Qt::AlignCenter, QStringLiteral("%1%").arg(progress_));
}

} // namespace brisvale
