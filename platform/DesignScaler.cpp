#include "platform/DesignScaler.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

namespace brisvale::platform {

namespace {

// Whether the widget's caption shows whole in its box; widgets without one do.
bool captionFits(const QWidget *widget)
{
    const int room = widget->width();
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        if (label->text().isEmpty() || !label->pixmap().isNull())
            return true;
        if (label->wordWrap())
            return label->heightForWidth(room) <= widget->height();
        return label->sizeHint().width() <= room;
    }
    if (qobject_cast<const QCheckBox *>(widget) || qobject_cast<const QRadioButton *>(widget))
        return widget->sizeHint().width() <= room;
    if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        return button->text().isEmpty() || button->fontMetrics().horizontalAdvance(button->text()) + icon + 8 <= room;
    }
    return true;
}

} // namespace

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
        scaleFont(item.widget, item.fontPixels);
    }
    if (onScaled_)
        onScaled_(factor_);
}

void DesignScaler::scaleFont(QWidget *widget, int designPixels) const
{
    // Our fonts run wider than the ones the designs were drawn for, so a
    // caption may need a size or two less than the factor gives; never so
    // little that it becomes hard to read.
    const int scaled = std::max(1, int(std::lround(designPixels * factor_)));
    const int smallest = std::max(6, scaled * 2 / 3);
    QFont font = widget->font();
    font.setPixelSize(scaled);
    widget->setFont(font);
    for (int pixels = scaled - 1; pixels >= smallest && !captionFits(widget); --pixels) {
        font.setPixelSize(pixels);
        widget->setFont(font);
    }
}

void DesignScaler::refit(QWidget *widget)
{
    for (const Item &item : items_) {
        if (item.widget == widget)
            scaleFont(widget, item.fontPixels);
    }
}

bool DesignScaler::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == surface_ && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

} // namespace brisvale::platform
