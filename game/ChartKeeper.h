#pragma once

#include "odds/StrategyChart.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <stop_token>
#include <vector>

namespace brisvale {

// The strategy chart of the table's payouts, made away from the user-interface
// thread and kept for the run: the table names its lines after a weak hold,
// the analysis window shows it. Only the chart of the latest payouts asked for
// is made and kept.
class ChartKeeper : public QObject {
public:
    using Answer = std::function<void(const StrategyChart *chart)>;

    // One for the program, made on first use from the user-interface thread.
    static ChartKeeper &shared();

    // The chart of these payouts if it is made, else null (and it is started).
    const StrategyChart *chart(const PayoutTable &payouts);
    // Answers at once when the chart is made, else when it is, unless
    // `context` is gone by then or other payouts were asked for meanwhile.
    // Null when the payouts cannot be valued.
    void ask(const PayoutTable &payouts, QObject *context, Answer answer);

private:
    ChartKeeper() = default;
    void start(const PayoutTable &payouts);

    PayoutTable payouts_;
    bool started_ = false;
    bool running_ = false;
    std::shared_ptr<const StrategyChart> chart_;
    std::uint64_t number_ = 0;
    // Stops the making of a chart no longer wanted.
    std::stop_source stop_;
    std::vector<std::pair<QPointer<QObject>, Answer>> waiting_;
};

} // namespace brisvale
