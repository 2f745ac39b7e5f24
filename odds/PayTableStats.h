#pragma once

#include "odds/HoldOdds.h"

#include <array>
#include <optional>
#include <stop_token>

namespace brisvale {

// The numbers behind a pay table under best play: how often each final hand
// comes, the return, its variance and how often a hand pays. Where a deal has
// several best holds, the one a trainer proposes is the one counted.
struct PayTableStats {
    // By pay class: 0 every losing hand, 1 jacks or better .. 9 a royal flush.
    std::array<Fraction, kPayClassCount> probability;
    Fraction value; // return per unit bet
    // Of the amount returned per unit bet (the stake included, which does
    // not change it).
    double variance = 0;
    // The chance that a hand pays anything.
    Fraction hitFrequency;

    // Nothing when a multiplier is out of range or the stop token asks to stop.
    static std::optional<PayTableStats> count(const HoldOdds &odds, const PayoutTable &payouts,
                                              std::stop_token stop = {});
};

// The chance of losing a bankroll of `bankroll` bets within `hands` hands,
// one bet a hand, at best play: dynamic programming over the final-hand
// distribution in double precision. Bankrolls and hands are limited so that
// it stays well under a second; the rounding error stays below 1e-9.
struct RiskOfRuin {
    static constexpr int kMostBets = 10000;
    static constexpr int kMostHands = 10000;
    // Nothing when either count is outside 1..its limit.
    static std::optional<double> chance(const PayTableStats &stats, const PayoutTable &payouts, int bankroll,
                                        int hands);
};

// The name of a pay class as the payouts list it ("Royal Flush" .. "Jacks or
// Better"), and "Nothing" for every losing hand.
const char *PayClassName(int payClass);

} // namespace brisvale
