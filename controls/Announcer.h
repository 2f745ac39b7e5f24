#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>

#include <array>

namespace brisvale {

class Announcer;

// One piece of news as a reader meets it: a widget without size, of the
// notification role, named by its news.
class Notice : public QWidget {
    Q_OBJECT
public:
    Notice(Announcer *announcer, QWidget *parent);

    QString news() const { return news_; }
    Announcer *announcer() const { return announcer_; }
    void tell(const QString &news);

private:
    Announcer *announcer_;
    QString news_;
};

// Tells a screen reader news that a sighted player reads elsewhere on the
// window, without taking the keyboard focus there. Readers speak changes of
// the focused control only, and read a changed name or description of any
// other control not at all; what they do speak wherever the focus is, is a
// notification appearing.
//
// A reader reads the name when it comes to the event, so news given in one
// pass of the event loop is told together, in the order given, as one
// notification: two in quick succession would both read as the later one.
// A reader that falls behind skips a notification when the same object has
// appeared again since, so news takes turns among a few notices. News the
// reader has not yet come to read when more arrives is told again with it.
class Announcer : public QObject {
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent);
    ~Announcer() override;
    Announcer(const Announcer &) = delete;
    Announcer &operator=(const Announcer &) = delete;

    void say(const QString &text);
    // Told after whatever else is said at the same moment; given again in
    // that moment, the later text stands.
    void sayAfter(const QString &text);

    // The latest news told.
    QString news() const { return news_; }
    // The notice that carries it.
    Notice *notice() const { return notices_[turn_]; }
    // A reader has read the news, so it need not be told again.
    void markHeard(const Notice *notice) const;

private:
    void post();
    void tell();

    QStringList pending_;
    QString after_;
    bool posted_ = false;
    QString news_;
    std::array<Notice *, 4> notices_{};
    std::size_t turn_ = 0;
    mutable bool heard_ = true;
    QElapsedTimer unheardSince_;
};

} // namespace brisvale
