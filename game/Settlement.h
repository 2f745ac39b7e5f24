#pragma once

#include "game/HandEvaluation.h"

#include <QString>
#include <array>
#include <cstdint>

namespace brisvale {

// Multipliers H1..H9 (index 0 unused): H1 pays a pair of jacks or better,
// Hk the hand rank k.
struct PayoutTable {
    std::array<std::int32_t, kHandRankCount> h{0, 0, 1, 2, 3, 4, 7, 11, 49, 99};

    static PayoutTable defaults() { return {}; }
    std::int32_t operator[](int rank) const { return h.at(rank); }
    std::int32_t &operator[](int rank) { return h.at(rank); }
    // Ranges the payouts dialog allows for Hk.
    static int maximumFor(int rank);
    // A stored multiplier as the dialog would take it: 0..maximumFor(rank).
    static std::int32_t broughtIntoRange(int rank, std::int32_t stored);
};

// The counters the statistics show.
struct GameCounters {
    std::array<std::int32_t, kHandRankCount> perRank{};
    std::int32_t wins = 0;
    std::int32_t losses = 0;

    void reset() { *this = GameCounters{}; }
};

struct Settlement {
    bool won = false;
    std::int32_t multiplier = 0;
    std::int32_t total = 0;
    QString resultText;
    QString moneyText;
};

// Settles an evaluated hand: counts it, pays or charges the bet and words the
// outcome. A total that would pass the 32-bit range stops at its end.
Settlement Settle(const Evaluation &evaluation, std::int32_t bet, std::int32_t total, const PayoutTable &payouts,
                  GameCounters &counters);

} // namespace brisvale
