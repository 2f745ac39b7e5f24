#pragma once

#include <QAccessible>
#include <QAccessibleInterface>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <vector>

namespace brisvale::test {

// Records the accessibility events the program raises while it lives,
// instead of handing them to the platform.
class AccessibleEvents {
public:
    struct Event {
        QPointer<QObject> object;
        QAccessible::Event type;
        QAccessible::State changed; // for state changes
        int child;                  // the child it is about, -1 for the object itself
    };

    AccessibleEvents()
    {
        log().clear();
        previous_ = QAccessible::installUpdateHandler(&record);
        // Qt raises events only once its bridge to the accessibility bus is up.
        QDeadlineTimer deadline(20000);
        while (!QAccessible::isActive() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ~AccessibleEvents() { QAccessible::installUpdateHandler(previous_); }

    // Whether events are raised at all: Qt's bridge to the bus is up.
    static bool active() { return QAccessible::isActive(); }
    AccessibleEvents(const AccessibleEvents &) = delete;
    AccessibleEvents &operator=(const AccessibleEvents &) = delete;

    void clear() { log().clear(); }
    int count(const QObject *object, QAccessible::Event type) const
    {
        int n = 0;
        for (const Event &e : log())
            n += e.object == object && e.type == type ? 1 : 0;
        return n;
    }
    // The child of `object` the last focus event told of, -1 for none.
    int focusedChild(const QObject *object) const
    {
        int child = -1;
        for (const Event &e : log()) {
            if (e.object == object && e.type == QAccessible::Focus)
                child = e.child;
        }
        return child;
    }
    // Whether a state change of `object` told that its checked state changed.
    bool checkedChanged(const QObject *object) const
    {
        for (const Event &e : log()) {
            if (e.object == object && e.type == QAccessible::StateChanged && e.changed.checked)
                return true;
        }
        return false;
    }

private:
    static std::vector<Event> &log()
    {
        static std::vector<Event> events;
        return events;
    }
    static void record(QAccessibleEvent *event)
    {
        QAccessible::State changed;
        if (event->type() == QAccessible::StateChanged)
            changed = static_cast<QAccessibleStateChangeEvent *>(event)->changedStates();
        log().push_back({event->object(), event->type(), changed, event->child()});
    }

    QAccessible::UpdateHandler previous_ = nullptr;
};

// The interface assistive technology is given for a widget.
inline QAccessibleInterface *accessibleOf(QObject *object) { return QAccessible::queryAccessibleInterface(object); }

} // namespace brisvale::test
