#include "platform/DesignScaler.h"

#include <QEvent>
#include <QFontInfo>
#include <algorithm>
#include <cmath>

namespace brisvale::platform {

DesignScaler::DesignScaler(QWidget *surface, QSize designSize)
    : QObject(surface), surface_(surface), design_(designSize)
{
    surface_->installEventFilter(this);
}

void DesignScaler::add(QWidget *widget)
{
    int pixels = widget->font().pixelSize();
    if (pixels <= 0)
        pixels = QFontInfo(widget->font()).pixelSize();
    items_.push_back({widget, widget->geometry(), pixels});
}

void DesignScaler::setDesignGeometry(QWidget *widget, const QRect &rect)
{
    for (Item &item : items_) {
        if (item.widget == widget)
            item.design = rect;
    }
    apply();
}

void DesignScaler::apply()
{
    const QSize area = surface_->size();
    if (area.isEmpty() || design_.isEmpty())
        return;
    factor_ = std::min(double(area.width()) / design_.width(), double(area.height()) / design_.height());
    const int dx = int(std::lround((area.width() - design_.width() * factor_) / 2));
    const int dy = int(std::lround((area.height() - design_.height() * factor_) / 2));
    const auto scale = [this](int v) { return int(std::lround(v * factor_)); };

    for (const Item &item : items_) {
        if (!item.widget)
            continue;
        // Edges are scaled, not sizes, so neighbours that touch in the design
        // still touch after rounding.
        const int left = scale(item.design.left());
        const int top = scale(item.design.top());
        const int right = scale(item.design.left() + item.design.width());
        const int bottom = scale(item.design.top() + item.design.height());
        const bool topLevelChild = item.widget->parentWidget() == surface_;
        item.widget->setGeometry(left + (topLevelChild ? dx : 0), top + (topLevelChild ? dy : 0),
                                 std::max(1, right - left), std::max(1, bottom - top));
        QFont font = item.widget->font();
        font.setPixelSize(std::max(1, scale(item.fontPixels)));
        item.widget->setFont(font);
    }
    if (onScaled_)
        onScaled_(factor_);
}

bool DesignScaler::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == surface_ && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

} // namespace brisvale::platform
