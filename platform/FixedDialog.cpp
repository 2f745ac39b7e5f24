#include "platform/FixedDialog.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace brisvale::platform {

ModalWindowKeeper::ModalWindowKeeper(QObject *parent) : QObject(parent) {}

bool ModalWindowKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::WindowStateChange || !watched->isWidgetType())
        return false;
    auto *window = static_cast<QWidget *>(watched);
    const QWidget *modal = QApplication::activeModalWidget();
    if (!window->isWindow() || !(window->windowState() & Qt::WindowMinimized) || !modal)
        return false;
    // Only the modal window and those it stands over: the player could not
    // reach any of them otherwise.
    bool under = false;
    for (const QWidget *w = modal; w && !under; w = w->parentWidget())
        under = w->window() == window;
    if (!under)
        return false;
    // Put back once the window manager has finished minimising it.
    QTimer::singleShot(0, window, [w = QPointer<QWidget>(window)] {
        if (!w)
            return;
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        if (QWidget *top = QApplication::activeModalWidget()) {
            top->raise();
            top->activateWindow();
        }
    });
    return false;
}

} // namespace brisvale::platform
