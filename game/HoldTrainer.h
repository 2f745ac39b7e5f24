#pragma once

#include "odds/HoldOdds.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>

namespace brisvale {

// Works out the holds of a dealt hand away from the user-interface thread and
// answers the table when it asks: at once when the analysis is ready, else as
// soon as it arrives. One answer waits at a time; a newer question or a new
// deal drops the one still waiting.
class HoldTrainer : public QObject {
public:
    // Called with the analysis, or with null when the hand cannot be valued
    // under the payouts (a multiplier beyond what the odds weigh).
    using Answer = std::function<void(const HoldAnalysis *analysis)>;

    explicit HoldTrainer(QObject *parent = nullptr) : QObject(parent) {}

    // Starts on this hand and these payouts unless that is done or under way.
    void analyse(const Hand &hand, const PayoutTable &payouts);
    bool isReady(const Hand &hand, const PayoutTable &payouts) const;
    void ask(const Hand &hand, const PayoutTable &payouts, Answer answer);
    // Drops the answer still waiting, if any.
    void cancel() { waiting_ = nullptr; }

private:
    bool isFor(const Hand &hand, const PayoutTable &payouts) const;
    void answer();

    bool started_ = false;
    bool running_ = false;
    Hand hand_{};
    PayoutTable payouts_;
    std::optional<HoldAnalysis> analysis_;
    // Each analysis gets a new number, so the answer of an older one is ignored.
    std::uint64_t number_ = 0;
    Answer waiting_;
};

} // namespace brisvale
