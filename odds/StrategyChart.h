#pragma once

#include "odds/HoldClasses.h"
#include "odds/HoldOdds.h"

#include <QString>
#include <optional>
#include <stop_token>
#include <vector>

namespace brisvale {

// A strategy chart for one pay table: a numbered list of hold classes, best
// first, that a player applies by taking the first line the dealt hand
// matches. Where a line fits more than one hold of a hand, it means the one
// worth most. Generated from the exact values of every hold of every deal,
// ordered to return as much as it can in at most kMaxLines lines, and then
// counted exactly beside best play.
class StrategyChart {
public:
    static constexpr int kMaxLines = 60;

    struct Choice {
        int line = 0; // counted from 1
        HoldMask hold = 0;
    };

    // Nothing when a multiplier is out of range or the stop token asks to stop.
    static std::optional<StrategyChart> generate(const HoldOdds &odds, const PayoutTable &payouts,
                                                 std::stop_token stop = {});

    int lineCount() const { return int(lines_.size()); }
    // The words of a line, counted from 1.
    QString lineText(int line) const { return holdclass::Describe(lines_.at(std::size_t(line - 1))); }
    // The line that applies to a dealt hand and the hold it means; `holds`
    // is the hand's analysis under the chart's payouts.
    Choice choose(const Hand &dealt, const HoldAnalysis &holds) const;

    // Return per unit bet over all deals when following the chart, and under best play.
    const Fraction &chartReturn() const { return chartReturn_; }
    const Fraction &bestReturn() const { return bestReturn_; }
    const PayoutTable &payouts() const { return payouts_; }

private:
    PayoutTable payouts_;
    std::vector<holdclass::Key> lines_;
    Fraction chartReturn_;
    Fraction bestReturn_;
};

} // namespace brisvale
