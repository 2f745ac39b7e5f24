#include "game/HoldTrainer.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace brisvale {

bool HoldTrainer::isFor(const Hand &hand, const PayoutTable &payouts) const
{
    return started_ && hand_ == hand && payouts_.h == payouts.h;
}

bool HoldTrainer::isReady(const Hand &hand, const PayoutTable &payouts) const
{
    return isFor(hand, payouts) && !running_;
}

void HoldTrainer::analyse(const Hand &hand, const PayoutTable &payouts)
{
    if (isFor(hand, payouts))
        return;
    started_ = true;
    running_ = true;
    hand_ = hand;
    payouts_ = payouts;
    analysis_.reset();
    const std::uint64_t number = ++number_;
    auto *watcher = new QFutureWatcher<std::optional<HoldAnalysis>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, number] {
        watcher->deleteLater();
        if (number != number_)
            return;
        running_ = false;
        analysis_ = watcher->result();
        answer();
    });
    watcher->setFuture(QtConcurrent::run([hand, payouts] { return HoldOdds::shared().analyse(hand, payouts); }));
}

void HoldTrainer::ask(const Hand &hand, const PayoutTable &payouts, Answer answer)
{
    waiting_ = std::move(answer);
    analyse(hand, payouts);
    if (!running_)
        this->answer();
}

void HoldTrainer::answer()
{
    if (!waiting_)
        return;
    const Answer answer = std::move(waiting_);
    waiting_ = nullptr;
    answer(analysis_ ? &*analysis_ : nullptr);
}

} // namespace brisvale
