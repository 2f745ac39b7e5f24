#pragma once

#include <QAccessible>
#include <QListView>
#include <QTimer>

namespace brisvale {

// A list that takes the focus tells which of its entries is current, as it
// does when the arrows move: a screen reader otherwise names only the list
// while the eye sees the highlighted entry (the current folder, the chosen
// file). Told once the list's own focus has been told, which comes after
// its focus-in, so the entry is what the reader is left on.
inline void tellCurrentEntry(QListView *list)
{
    QTimer::singleShot(0, list, [list] {
        const QModelIndex current = list->currentIndex();
        if (!current.isValid() || !list->hasFocus() || !QAccessible::isActive())
            return;
        QAccessibleEvent event(list, QAccessible::Focus);
        event.setChild(current.row());
        QAccessible::updateAccessibility(&event);
    });
}

} // namespace brisvale
