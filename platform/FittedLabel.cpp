#include "platform/FittedLabel.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

namespace brisvale::platform {

QFont FittedLabel::fittedFont() const
{
    constexpr int kSmallestPixels = 6;
    QFont f = font();
    const int room = contentsRect().width() - 2 * margin() - 4;
    int pixels = QFontInfo(f).pixelSize();
    while (pixels > kSmallestPixels && QFontMetrics(f).horizontalAdvance(text()) > room)
        f.setPixelSize(--pixels);
    return f;
}

void FittedLabel::paintEvent(QPaintEvent *event)
{
    const QFont fitted = fittedFont();
    if (fitted == font()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    painter.setFont(fitted);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    painter.drawText(contentsRect(), int(alignment()), text());
}

} // namespace brisvale::platform
