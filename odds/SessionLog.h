#pragma once

#include "odds/HoldOdds.h"

#include <QString>
#include <vector>

namespace brisvale {

// The table's total before a hand and after it was settled.
struct HandTotals {
    std::int64_t before = 0;
    std::int64_t after = 0;
};

// The hands of one run of the program as a trainer sees them: how many were
// played, and each one whose hold was worse than a best one, with what that
// cost. Equal holds are never mistakes. No widgets; it lives as long as the run.
class SessionLog {
public:
    struct Mistake {
        int hand = 0; // counted from 1 in the run
        Hand dealt{};
        HoldMask played = 0;
        HoldMask best = 0;
        int bet = 0;
        Fraction cost; // per unit bet
        // The payouts the hand was settled with, so it can be shown again as played.
        PayoutTable payouts;
        // The table's total before the hand and after it was settled.
        std::int64_t totalBefore = 0;
        std::int64_t totalAfter = 0;
        Fraction coins() const { return cost.times(bet); }
    };

    // A finished hand: the cards as dealt, the hold played, the bet, and the
    // analysis of the dealt hand under the payouts it was settled with.
    void record(const Hand &dealt, HoldMask played, int bet, const HoldAnalysis &analysis,
                const PayoutTable &payouts = PayoutTable::defaults(), HandTotals totals = {});

    int handsPlayed() const { return int(hands_.size()); }
    const std::vector<Mistake> &mistakes() const { return mistakes_; }
    Fraction costInCoins() const { return cost_; }
    // Coins bet over the hands played.
    std::int64_t coinsBet() const { return bet_; }
    // What the holds played bring back per coin bet on average, and what best
    // holds would have brought on the same deals.
    Fraction playedReturn() const;
    Fraction bestReturn() const;

    // Lines of "name: value" for the session page.
    QString summary() const;
    // Every hand played, mistakes or not, in order (a right one costs nothing).
    const std::vector<Mistake> &hands() const { return hands_; }

    // One row a hand, marked right or wrong, after a heading row.
    QString csv() const;

    // The session's two charts as points, the first before the first hand
    // and one after each hand: the table's total, and what the mistakes had
    // cost so far in coins. Empty before a hand is played.
    std::vector<double> totalCurve() const;
    std::vector<double> costCurve() const;
    // The same charts in words, for those who cannot see them.
    QString totalCurveText() const;
    QString costCurveText() const;

private:
    std::int64_t bet_ = 0;
    Fraction cost_;
    Fraction played_; // coins expected back from the holds played
    Fraction best_;   // the same with best holds
    std::vector<Mistake> mistakes_;
    std::vector<Mistake> hands_;
};

} // namespace brisvale
