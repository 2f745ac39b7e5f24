#pragma once

#include "odds/HoldOdds.h"

#include <QString>

namespace brisvale {

// What the trainer tells the player, worded once.

// A return per unit bet as a percentage with two decimals: "99.54%".
QString ReturnPercentText(const Fraction &value);

// The codes of the cards a hold keeps, or "nothing" for drawing five.
QString HoldCardsText(const Hand &hand, HoldMask mask);

// "Best hold: ..., worth 0.4685 x bet on average", for the best hold the
// trainer proposes.
QString BestHoldText(const HoldAnalysis &analysis, const Hand &hand);

// What the played hold gave away against a best one and which hold was best,
// and the line of the strategy chart the player should have used when there
// is one (0 for none); empty when the played hold is one of the best.
QString HoldCostText(const HoldAnalysis &analysis, const Hand &hand, HoldMask played, int chartLine = 0);

// The question asked before a draw on a hold worse than the best: what the
// hold costs, per unit bet and in coins at the bet, and what the strategy
// chart says to hold (its line number and words, 0 and empty when there is no
// chart yet; then the best hold is named). Yes draws anyway, No goes back to
// change the hold.
QString CostlyDrawQuestion(const HoldAnalysis &analysis, const Hand &hand, HoldMask played, int bet, int chartLine,
                           const QString &chartWords, HoldMask chartHold);

} // namespace brisvale
