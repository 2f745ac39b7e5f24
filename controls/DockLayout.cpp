#include "controls/DockLayout.h"

#include <algorithm>

namespace brisvale {

std::vector<QRect> dockRects(const QRect &client, const std::vector<DockItem> &items)
{
    std::vector<QRect> result;
    result.reserve(items.size());
    for (const DockItem &item : items)
        result.push_back(item.rect);

    // The free room, as edges so that it can shrink below zero size without
    // QRect's normalisation getting in the way.
    int left = client.left();
    int top = client.top();
    int right = client.left() + client.width();
    int bottom = client.top() + client.height();
    auto roomWidth = [&] { return std::max(0, right - left); };
    auto roomHeight = [&] { return std::max(0, bottom - top); };

    for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].align != align)
                continue;
            const int w = std::max(0, items[i].rect.width());
            const int h = std::max(0, items[i].rect.height());
            QRect &r = result[i];
            switch (align) {
            case TAlign::alTop:
                r = QRect(left, top, roomWidth(), h);
                top += h;
                break;
            case TAlign::alBottom:
                r = QRect(left, bottom - h, roomWidth(), h);
                bottom -= h;
                break;
            case TAlign::alLeft:
                r = QRect(left, top, w, roomHeight());
                left += w;
                break;
            case TAlign::alRight:
                r = QRect(right - w, top, w, roomHeight());
                right -= w;
                break;
            case TAlign::alClient: r = QRect(left, top, roomWidth(), roomHeight()); break;
            case TAlign::alNone: break;
            }
        }
    }
    return result;
}

} // namespace brisvale
