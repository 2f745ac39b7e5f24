#include "game/HandEvaluation.h"

#include <algorithm>
#include <vector>

namespace brisvale {

Evaluation Evaluate(const Hand &hand)
{
    Evaluation result;
    int r = NoPair;

    if (CardSuit(hand[0]) == CardSuit(hand[1]) && CardSuit(hand[1]) == CardSuit(hand[2])
        && CardSuit(hand[2]) == CardSuit(hand[3]) && CardSuit(hand[3]) == CardSuit(hand[4]))
        r = Flush;

    std::array<int, 5> ranks{};
    std::transform(hand.begin(), hand.end(), ranks.begin(), [](cdCardDeck c) { return CardRank(c); });
    std::sort(ranks.begin(), ranks.end());
    const auto [a, b, c, d, e] = ranks;

    if (a + 1 == b && b + 1 == c && c + 1 == d && d + 1 == e)
        r = (r == Flush) ? StraightFlush : Straight;
    if (b + 1 == c && c + 1 == d && d + 1 == e && a == 1 && e == 13)
        r = (r == Flush) ? RoyalFlush : Straight;

    if (r == NoPair) {
        std::vector<int> pairs;
        for (int i = 0; i < 4; ++i) {
            if (ranks[i] == ranks[i + 1])
                pairs.push_back(ranks[i]);
        }
        switch (pairs.size()) {
        case 1:
            r = OnePair;
            result.pairRank = pairs[0];
            break;
        case 2: r = (pairs[0] == pairs[1]) ? ThreeOfAKind : TwoPair; break;
        case 3: r = (pairs[0] == pairs[2]) ? FourOfAKind : FullHouse; break;
        default: break;
        }
    }
    result.rank = r;
    return result;
}

QString HandGridName(int rank)
{
    static const char *const names[kHandRankCount] = {"No Pair",        "Pairs",      "2 Pair",     "3 of a Kind",
                                                      "Straight",       "Flush",      "Full House", "4 of a Kind",
                                                      "Straight Flush", "Royal Flush"};
    return (rank >= 0 && rank < kHandRankCount) ? QString::fromLatin1(names[rank]) : QString();
}

QString HandResultText(const Evaluation &evaluation)
{
    switch (evaluation.rank) {
    case NoPair: return QStringLiteral("Player has No Pair ");
    case OnePair:
        return evaluation.jacksOrBetter() ? QStringLiteral("Player has pair of Jacks or Better")
                                          : QStringLiteral("Player has One Pair");
    case TwoPair: return QStringLiteral("Player has Two Pair");
    case ThreeOfAKind: return QStringLiteral("Player has Three of a Kind");
    case Straight: return QStringLiteral("Player has a Straight");
    case Flush: return QStringLiteral("Player has a Flush");
    case FullHouse: return QStringLiteral("Player has a Full House");
    case FourOfAKind: return QStringLiteral("Wow! Four of a Kind");
    case StraightFlush: return QStringLiteral("Wow! Straight Flush");
    case RoyalFlush: return QStringLiteral("Wow! Royal Flush");
    default: return QString();
    }
}

} // namespace brisvale
