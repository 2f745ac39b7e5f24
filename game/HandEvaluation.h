#pragma once

#include "game/Deck.h"

#include <QString>

namespace brisvale {

// Hand ranks 0..9, from "No Pair" to "Royal Flush".
enum HandRank : int {
    NoPair = 0,
    OnePair = 1,
    TwoPair = 2,
    ThreeOfAKind = 3,
    Straight = 4,
    Flush = 5,
    FullHouse = 6,
    FourOfAKind = 7,
    StraightFlush = 8,
    RoyalFlush = 9,
};
inline constexpr int kHandRankCount = 10;

struct Evaluation {
    int rank = NoPair;
    int pairRank = 0; // the rank of the pair, for a one-pair hand

    // A one-pair hand wins only with jacks, queens, kings or aces.
    bool jacksOrBetter() const { return rank == OnePair && (pairRank == 1 || pairRank > 10); }
    bool won() const { return rank >= TwoPair || jacksOrBetter(); }
};

Evaluation Evaluate(const Hand &hand);

// Column heading of the statistics grid for a rank ("No Pair", "2 Pair", ...).
QString HandGridName(int rank);
// What the hand panel says after the draw.
QString HandResultText(const Evaluation &evaluation);

} // namespace brisvale
