#pragma once

#include <QObject>
#include <QPointer>

class QTimer;

namespace brisvale {

// Pauses event-handling code for a number of milliseconds while the window
// stays live: paints, clicks and menu commands are handled during the wait,
// so the caller must tolerate its window changing meanwhile.
class TSleeper : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Interval READ Interval WRITE setInterval)
public:
    static constexpr int kDefaultInterval = 1000;

    explicit TSleeper(QObject *owner = nullptr);
    ~TSleeper() override;

    int Interval() const;
    void setInterval(int ms);

    // Waits Interval milliseconds. An interval of 0 or less returns at once.
    void Sleep();
    // Makes `ms` the Interval (when it differs) and waits that long.
    void SleepFor(int ms);

    bool isWaiting() const { return waitDepth_ > 0; }

private:
    QPointer<QTimer> timer_;
    int waitDepth_ = 0;
};

} // namespace brisvale
