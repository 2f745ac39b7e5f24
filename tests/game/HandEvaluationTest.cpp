#include "game/HandEvaluation.h"
#include "tests/support/Deals.h"

#include <gtest/gtest.h>

using namespace brisvale;

namespace {

// Card from rank (1 ace .. 13 king) and suit (1 spades, 2 hearts, 3 clubs, 4 diamonds).
constexpr cdCardDeck card(int rank, int suit) { return cdCardDeck((suit - 1) * 13 + rank); }

struct Case {
    const char *name;
    Hand hand;
    int rank;
    const char *text;
};

} // namespace

TEST(HandEvaluation, RanksAndTexts)
{
    const Case cases[] = {
        {"royal flush",
         {card(1, 2), card(13, 2), card(12, 2), card(11, 2), card(10, 2)},
         RoyalFlush,
         "Wow! Royal Flush"},
        {"broadway in mixed suits",
         {card(1, 1), card(13, 2), card(12, 2), card(11, 2), card(10, 2)},
         Straight,
         "Player has a Straight"},
        {"steel wheel",
         {card(1, 3), card(2, 3), card(3, 3), card(4, 3), card(5, 3)},
         StraightFlush,
         "Wow! Straight Flush"},
        {"wheel in mixed suits",
         {card(1, 3), card(2, 1), card(3, 3), card(4, 3), card(5, 3)},
         Straight,
         "Player has a Straight"},
        {"no wrap-around",
         {card(12, 1), card(13, 2), card(1, 3), card(2, 4), card(3, 1)},
         NoPair,
         "Player has No Pair "},
        {"pair of tens",
         {card(10, 1), card(10, 2), card(3, 3), card(7, 4), card(12, 1)},
         OnePair,
         "Player has One Pair"},
        {"pair of jacks",
         {card(11, 1), card(11, 2), card(3, 3), card(7, 4), card(12, 1)},
         OnePair,
         "Player has pair of Jacks or Better"},
        {"pair of aces",
         {card(1, 1), card(1, 2), card(3, 3), card(7, 4), card(12, 1)},
         OnePair,
         "Player has pair of Jacks or Better"},
        {"two pair", {card(4, 1), card(4, 2), card(9, 3), card(9, 4), card(12, 1)}, TwoPair, "Player has Two Pair"},
        {"three of a kind",
         {card(4, 1), card(4, 2), card(4, 3), card(9, 4), card(12, 1)},
         ThreeOfAKind,
         "Player has Three of a Kind"},
        {"full house 3-3-3-K-K",
         {card(3, 1), card(13, 2), card(3, 3), card(13, 4), card(3, 2)},
         FullHouse,
         "Player has a Full House"},
        {"four kings",
         {card(13, 1), card(13, 2), card(13, 3), card(13, 4), card(2, 1)},
         FourOfAKind,
         "Wow! Four of a Kind"},
        {"flush without a run",
         {card(2, 4), card(5, 4), card(9, 4), card(11, 4), card(13, 4)},
         Flush,
         "Player has a Flush"},
    };
    for (const Case &c : cases) {
        const Evaluation e = Evaluate(c.hand);
        EXPECT_EQ(e.rank, c.rank) << c.name;
        EXPECT_EQ(HandResultText(e), QString::fromLatin1(c.text)) << c.name;
    }
}

TEST(HandEvaluation, JacksOrBetterNeedsAPairOfElevenOrMoreOrAces)
{
    for (int r = 1; r <= 13; ++r) {
        const Hand hand{card(r, 1), card(r, 2), card(r == 2 ? 3 : 2, 3), card(r == 6 ? 7 : 6, 4),
                        card(r == 9 ? 8 : 9, 1)};
        const Evaluation e = Evaluate(hand);
        ASSERT_EQ(e.rank, OnePair) << r;
        EXPECT_EQ(e.pairRank, r);
        EXPECT_EQ(e.jacksOrBetter(), r == 1 || r >= 11) << r;
        EXPECT_EQ(e.won(), r == 1 || r >= 11) << r;
    }
}

TEST(HandEvaluation, GridNames)
{
    const char *names[] = {"No Pair", "Pairs",      "2 Pair",      "3 of a Kind",    "Straight",
                           "Flush",   "Full House", "4 of a Kind", "Straight Flush", "Royal Flush"};
    for (int r = 0; r < kHandRankCount; ++r)
        EXPECT_EQ(HandGridName(r), QString::fromLatin1(names[r]));
}

// Every five-card hand of the deck, against the well-known counts.
TEST(HandEvaluation, AllFiveCardHands)
{
    std::array<long, kHandRankCount> counts{};
    long jacksOrBetter = 0;
    test::forEveryDeal([&](const Hand &h) {
        const Evaluation ev = Evaluate(h);
        ++counts[ev.rank];
        if (ev.jacksOrBetter())
            ++jacksOrBetter;
    });
    EXPECT_EQ(counts[RoyalFlush], 4);
    EXPECT_EQ(counts[StraightFlush], 36);
    EXPECT_EQ(counts[FourOfAKind], 624);
    EXPECT_EQ(counts[FullHouse], 3744);
    EXPECT_EQ(counts[Flush], 5108);
    EXPECT_EQ(counts[Straight], 10200);
    EXPECT_EQ(counts[ThreeOfAKind], 54912);
    EXPECT_EQ(counts[TwoPair], 123552);
    EXPECT_EQ(counts[OnePair], 1098240);
    EXPECT_EQ(jacksOrBetter, 337920);
    EXPECT_EQ(counts[NoPair], 1302540);
}
