#include "controls/TSleeper.h"

#include <QEventLoop>
#include <QTimer>

namespace brisvale {

TSleeper::TSleeper(QObject *owner) : QObject(owner), timer_(new QTimer(this))
{
    timer_->setInterval(1000);
    timer_->setSingleShot(true);
    timer_->stop();
}

TSleeper::~TSleeper() = default;

int TSleeper::Interval() const
{
    return timer_ ? timer_->interval() : 0;
}

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
    QEventLoop loop;
    const auto connection = connect(timer_, &QTimer::timeout, &loop, &QEventLoop::quit);
    waiting_ = true;
    timer_->start();
    loop.exec(QEventLoop::AllEvents);
    waiting_ = false;
    disconnect(connection);
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
