#include "platform/AltKeyEchoes.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace brisvale::platform {

AltKeyEchoes::AltKeyEchoes(QObject *parent) : QObject(parent) {}

bool AltKeyEchoes::eventFilter(QObject *watched, QEvent *event)
{
    (void)watched;
    const QEvent::Type type = event->type();
    // Keys from the window system arrive spontaneous; the bridge's copies
    // do not.
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || event->spontaneous())
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Alt && key != Qt::Key_Meta)
        return false;
    if (type == QEvent::KeyPress) {
        // Delivering the copied press armed the menu bars again, and each
        // armed bar listens ahead of this filter: come first again, so the
        // copied release that would toggle them can be held back.
        QCoreApplication::instance()->removeEventFilter(this);
        QCoreApplication::instance()->installEventFilter(this);
        pressEchoed_ = true;
        return false;
    }
    const bool echo = pressEchoed_;
    pressEchoed_ = false;
    return echo;
}

} // namespace brisvale::platform
