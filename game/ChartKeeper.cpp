#include "game/ChartKeeper.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace brisvale {

ChartKeeper &ChartKeeper::shared()
{
    // Parented to the application, so it goes before the thread pool does.
    static ChartKeeper *keeper = [] {
        auto *k = new ChartKeeper;
        k->setParent(QCoreApplication::instance());
        return k;
    }();
    return *keeper;
}

void ChartKeeper::start(const PayoutTable &payouts)
{
    if (started_ && payouts_.h == payouts.h)
        return;
    started_ = true;
    running_ = true;
    payouts_ = payouts;
    chart_.reset();
    waiting_.clear();
    stop_.request_stop();
    stop_ = std::stop_source();
    const std::uint64_t number = ++number_;
    using Result = std::shared_ptr<const StrategyChart>;
    auto *watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, number] {
        watcher->deleteLater();
        if (number != number_)
            return;
        running_ = false;
        chart_ = watcher->result();
        auto waiting = std::move(waiting_);
        waiting_.clear();
        for (const auto &[context, answer] : waiting) {
            if (context)
                answer(chart_.get());
        }
    });
    watcher->setFuture(QtConcurrent::run([payouts, stop = stop_.get_token()]() -> Result {
        auto chart = StrategyChart::generate(HoldOdds::shared(), payouts, stop);
        return chart ? std::make_shared<const StrategyChart>(std::move(*chart)) : nullptr;
    }));
}

const StrategyChart *ChartKeeper::chart(const PayoutTable &payouts)
{
    start(payouts);
    return running_ ? nullptr : chart_.get();
}

void ChartKeeper::ask(const PayoutTable &payouts, QObject *context, Answer answer)
{
    start(payouts);
    if (!running_)
        answer(chart_.get());
    else
        waiting_.emplace_back(context, std::move(answer));
}

} // namespace brisvale
