#include "controls/TSleeper.h"

#include <QEventLoop>
#include <QTimer>

namespace brisvale {

TSleeper::TSleeper(QObject *owner) : QObject(owner), timer_(new QTimer(this))
{
    timer_->setInterval(kDefaultInterval);
    timer_->setSingleShot(true);
    // A wait never ends early: coarse timers may fire a little before time.
    timer_->setTimerType(Qt::PreciseTimer);
}

TSleeper::~TSleeper() = default;

int TSleeper::Interval() const { return timer_ ? timer_->interval() : 0; }

void TSleeper::setInterval(int ms)
{
    if (timer_)
        timer_->setInterval(ms);
}

void TSleeper::Sleep()
{
    // A zero or negative interval would never end the wait; return instead.
    if (!timer_ || timer_->interval() <= 0)
        return;
    // The wait blocks in a nested event loop rather than spinning, so the pause
    // costs no processor time while every window message is still handled.
    // Only this wait's tick ends it: the timer is single-shot and restarted
    // here, so a second wait always lasts a full interval.
    QEventLoop loop;
    connect(timer_, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Should the sleeper die inside the wait (its window torn down by a
    // handler that ran meanwhile), the wait ends instead of hanging.
    connect(timer_, &QObject::destroyed, &loop, &QEventLoop::quit);
    const QPointer<TSleeper> alive(this);
    ++waitDepth_;
    timer_->start();
    loop.exec(QEventLoop::AllEvents);
    if (!alive)
        return;
    --waitDepth_;
    if (timer_)
        timer_->stop();
}

void TSleeper::SleepFor(int ms)
{
    if (!timer_)
        return;
    if (ms != timer_->interval())
        timer_->setInterval(ms);
    Sleep();
}

} // namespace brisvale
