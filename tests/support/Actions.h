#pragma once

#include <QAction>
#include <QWidget>

namespace brisvale::test {

// The first menu action of a window with this exact caption, or nullptr.
inline QAction *actionByText(const QWidget *window, const QString &text)
{
    for (QAction *action : window->findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace brisvale::test
