#pragma once

#include <QRect>
#include <vector>

namespace brisvale {

// Where a panel docks inside its parent.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct DockItem {
    TAlign align = TAlign::alNone;
    QRect rect; // current geometry; a docked item keeps its height or width
};

// Docks the items inside `client` and returns their new rectangles, in item
// order. Every top item is placed first, then bottom, left, right and client
// items; items of one alignment stack in list order (the first one at the
// edge) and each takes its room from what the earlier ones left. Undocked
// items keep their rectangle.
std::vector<QRect> dockRects(const QRect &client, const std::vector<DockItem> &items);

} // namespace brisvale
