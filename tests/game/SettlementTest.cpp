#include "game/Settlement.h"
#include "game/Statistics.h"

#include <gtest/gtest.h>
#include <limits>

using namespace brisvale;

namespace {
Evaluation eval(int rank, int pairRank = 0)
{
    Evaluation e;
    e.rank = rank;
    e.pairRank = pairRank;
    return e;
}
} // namespace

TEST(Settlement, LostPairOfTens)
{
    GameCounters c;
    const Settlement s = Settle(eval(OnePair, 10), 5, 1000, PayoutTable::defaults(), c);
    EXPECT_FALSE(s.won);
    EXPECT_EQ(s.total, 995);
    EXPECT_EQ(s.moneyText, QStringLiteral("You Lost Total is now 995"));
    EXPECT_EQ(s.resultText, QStringLiteral("Player has One Pair"));
    EXPECT_EQ(c.losses, 1);
    EXPECT_EQ(c.wins, 0);
    EXPECT_EQ(c.perRank[OnePair], 1);
}

TEST(Settlement, JacksPaidWithZeroIsAWinThatKeepsTheTotal)
{
    GameCounters c;
    const Settlement s = Settle(eval(OnePair, 11), 5, 1000, PayoutTable::defaults(), c);
    EXPECT_TRUE(s.won);
    EXPECT_EQ(s.multiplier, 0);
    EXPECT_EQ(s.total, 1000);
    EXPECT_EQ(s.moneyText, QStringLiteral("You Win Total is now 1000"));
    EXPECT_EQ(c.wins, 1);
    EXPECT_EQ(c.perRank[OnePair], 1);
}

TEST(Settlement, BonusTextShowsMultiplierPlusOne)
{
    GameCounters c;
    Settlement s = Settle(eval(TwoPair), 5, 1000, PayoutTable::defaults(), c);
    EXPECT_EQ(s.moneyText, QStringLiteral("*Bonus* 2X  Paid You Win! Total is now 1005"));
    s = Settle(eval(RoyalFlush), 10, 1005, PayoutTable::defaults(), c);
    EXPECT_EQ(s.total, 1005 + 990);
    EXPECT_EQ(s.moneyText, QStringLiteral("*Bonus* 100X  Paid You Win! Total is now 1995"));
    EXPECT_EQ(c.wins, 2);
}

TEST(Settlement, EveryWinningRankUsesItsOwnMultiplier)
{
    PayoutTable p;
    for (int r = 1; r <= 9; ++r)
        p[r] = r * 10;
    for (int r = 2; r <= 9; ++r) {
        GameCounters c;
        const Settlement s = Settle(eval(r), 5, 0, p, c);
        EXPECT_EQ(s.multiplier, r * 10) << r;
        EXPECT_EQ(s.total, 5 * r * 10) << r;
        EXPECT_EQ(c.perRank[r], 1);
    }
    GameCounters c;
    EXPECT_EQ(Settle(eval(OnePair, 1), 5, 0, p, c).multiplier, 10);
}

TEST(Settlement, NegativeTotals)
{
    GameCounters c;
    const Settlement s = Settle(eval(NoPair), 10, 5, PayoutTable::defaults(), c);
    EXPECT_EQ(s.total, -5);
    EXPECT_EQ(s.moneyText, QStringLiteral("You Lost Total is now -5"));
    EXPECT_EQ(s.resultText, QStringLiteral("Player has No Pair "));
}

TEST(Settlement, ATotalStopsAtTheEndsOfItsRangeInsteadOfWrapping)
{
    constexpr std::int32_t top = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t bottom = std::numeric_limits<std::int32_t>::min();
    PayoutTable p;
    p[1] = 5000000; // what a hand-edited settings file can hold
    GameCounters c;
    Settlement s = Settle(eval(OnePair, 11), 1000, 47999, p, c);
    EXPECT_EQ(s.total, top);
    EXPECT_EQ(s.moneyText, QStringLiteral("*Bonus* 5000001X  Paid You Win! Total is now 2147483647"));
    s = Settle(eval(RoyalFlush), 1000, top - 5, PayoutTable::defaults(), c);
    EXPECT_EQ(s.total, top);
    s = Settle(eval(NoPair), 1000, bottom + 10, PayoutTable::defaults(), c);
    EXPECT_EQ(s.total, bottom);
    EXPECT_EQ(s.moneyText, QStringLiteral("You Lost Total is now -2147483648"));
}

TEST(Settlement, StoredPayoutsAreBroughtIntoTheDialogsRanges)
{
    const int maxima[] = {5, 5, 5, 9, 9, 99, 99, 999, 999};
    for (int r = 1; r <= 9; ++r) {
        EXPECT_EQ(PayoutTable::broughtIntoRange(r, 5000000), maxima[r - 1]) << r;
        EXPECT_EQ(PayoutTable::broughtIntoRange(r, 3), 3) << r;
        EXPECT_EQ(PayoutTable::broughtIntoRange(r, 0), 0) << r;
    }
}

TEST(Settlement, DefaultPayouts)
{
    const PayoutTable p = PayoutTable::defaults();
    const int expected[] = {0, 1, 2, 3, 4, 7, 11, 49, 99};
    for (int r = 1; r <= 9; ++r)
        EXPECT_EQ(p[r], expected[r - 1]);
}

TEST(Statistics, StatsLines)
{
    GameCounters c;
    EXPECT_EQ(statsLine1(c), QStringLiteral("Player has Won 0 hands and Lost 0 Total Pairs =0"));
    EXPECT_EQ(statsLine2(c), QStringLiteral(" "));
    c.perRank[3] = 2;
    c.perRank[5] = 1;
    EXPECT_EQ(statsLine2(c), QStringLiteral("  3 of a Kind=2 Flushs=1"));
    c = GameCounters{};
    c.perRank[2] = 4;
    EXPECT_EQ(statsLine2(c), QStringLiteral("High Hands Two Pair=4"));
    for (int r = 2; r <= 9; ++r)
        c.perRank[r] = 1;
    EXPECT_EQ(statsLine2(c), QStringLiteral("High Hands Two Pair=1 3 of a Kind=1 Straights=1 Flushs=1"
                                            " Full House=1 4 of a Kind=1 Straight Flush=1 Royal Flush=1"));
}
