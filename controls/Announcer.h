#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>

namespace brisvale {

// Tells a screen reader news that a sighted player reads elsewhere on the
// window, without taking the keyboard focus there. Readers speak changes of
// the focused control only, and read a changed name or description of any
// other control not at all; what they do speak wherever the focus is, is a
// notification appearing. This is one: a widget without size that appears
// anew for each piece of news, named by it.
//
// A reader reads the name when it comes to the event, so news given in one
// pass of the event loop is told together, in the order given, as one
// notification: two in quick succession would both read as the later one.
// News the reader has not yet come to read when more arrives (a busy reader
// drops a notification that a later one replaces) is told again with it.
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent);

    void say(const QString &text);
    // Told after whatever else is said at the same moment; given again in
    // that moment, the later text stands.
    void sayAfter(const QString &text);

    // The latest news told, which is the notification's name.
    QString news() const { return news_; }
    // A reader has read the news, so it need not be told again.
    void markHeard() const { heard_ = true; }

private:
    void post();
    void tell();

    QStringList pending_;
    QString after_;
    bool posted_ = false;
    QString news_;
    mutable bool heard_ = true;
    QElapsedTimer unheardSince_;
};

} // namespace brisvale
