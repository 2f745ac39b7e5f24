#include "game/Deck.h"
#include "game/RandomGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace brisvale;

TEST(RandomGenerator, FirstDrawsFromSeedZero)
{
    RandomGenerator g;
    const std::uint32_t expected[] = {0, 1, 44, 10, 14, 34, 16, 8};
    for (std::uint32_t e : expected)
        EXPECT_EQ(g.drawBelow(52), e);
}

TEST(RandomGenerator, DrawBelowZeroStillAdvances)
{
    RandomGenerator a, b;
    EXPECT_EQ(a.drawBelow(0), 0u);
    b.drawBelow(52);
    EXPECT_EQ(a.seed(), b.seed());
    EXPECT_EQ(a.seed(), 1u);
}

TEST(RandomGenerator, MultiplierWrapsAndHighWordIsTheResult)
{
    RandomGenerator g;
    g.setSeed(0xFFFFFFFFu);
    // (0xFFFFFFFF * 134775813 + 1) mod 2^32 = 2^32 - 134775812
    const std::uint32_t next = 0xFFFFFFFFu * 134775813u + 1u;
    EXPECT_EQ(g.drawBelow(1000), std::uint32_t((std::uint64_t(next) * 1000) >> 32));
    EXPECT_EQ(g.seed(), next);
}

TEST(RandomGenerator, SeedIsMillisecondsSinceUtcMidnight)
{
    EXPECT_EQ(RandomGenerator::seedFor(QTime(12, 34, 56, 789)), 45296789u);
    EXPECT_EQ(RandomGenerator::seedFor(QTime(0, 0, 0, 0)), 0u);
    EXPECT_EQ(RandomGenerator::seedFor(QTime(23, 59, 59, 999)), 86399999u);
}

TEST(Deck, FillIsInOrder)
{
    Deck d;
    d.setPosition(7);
    d.fill();
    EXPECT_EQ(d.position(), 0);
    for (int i = 0; i < 52; ++i)
        EXPECT_EQ(d.at(i), i + 1);
}

TEST(Deck, GoldenShuffleFromSeedZero)
{
    RandomGenerator g;
    Deck d;
    const Hand hand = d.deal(g);
    const int expected[] = {33, 39, 45, 5, 4, 35, 17, 42, 12, 23};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(d.at(i), expected[i]) << "position " << i;
    EXPECT_EQ(hand, (Hand{33, 39, 45, 5, 4}));
    EXPECT_EQ(d.position(), 5);
    // 7 of clubs, king of clubs, 6 of diamonds, 5 of spades, 4 of spades.
    EXPECT_EQ(CardDisplayName(hand[0]), QStringLiteral("7 of Clubs"));
    EXPECT_EQ(CardDisplayName(hand[1]), QStringLiteral("King of Clubs"));
    EXPECT_EQ(CardDisplayName(hand[2]), QStringLiteral("6 of Diamonds"));
    // The shuffle takes exactly 52 draws.
    RandomGenerator counted;
    for (int i = 0; i < 52; ++i)
        counted.drawBelow(52);
    EXPECT_EQ(g.seed(), counted.seed());
}

TEST(Deck, ShuffleIsAPermutation)
{
    RandomGenerator g;
    g.setSeed(123456789);
    Deck d;
    for (int round = 0; round < 50; ++round) {
        d.fill();
        d.shuffle(g);
        std::set<int> seen;
        for (int i = 0; i < 52; ++i)
            seen.insert(d.at(i));
        ASSERT_EQ(seen.size(), 52u);
        EXPECT_EQ(*seen.begin(), 1);
        EXPECT_EQ(*seen.rbegin(), 52);
    }
}

TEST(Deck, DrawReplacesOnlyCardsNotHeldInSlotOrder)
{
    RandomGenerator g;
    Deck d;
    Hand hand = d.deal(g);
    Deck all = d;
    Hand everything = hand;
    all.draw(everything, {false, false, false, false, false});
    EXPECT_EQ(everything, (Hand{35, 17, 42, 12, 23}));
    EXPECT_EQ(all.position(), 10);

    Hand kept = hand;
    d.draw(kept, {true, true, true, true, true});
    EXPECT_EQ(kept, hand);
    EXPECT_EQ(d.position(), 5);

    Hand some = hand;
    d.draw(some, {true, false, true, false, true});
    EXPECT_EQ(some, (Hand{33, 35, 45, 17, 4}));
    EXPECT_EQ(d.position(), 7);
}

TEST(Cards, SuitAndRank)
{
    EXPECT_EQ(CardSuit(0), 0);
    EXPECT_EQ(CardRank(0), 0);
    EXPECT_EQ(CardSuit(52), 4);
    EXPECT_EQ(CardRank(52), 13);
    EXPECT_EQ(CardRank(14), 1);
    for (int jack : {11, 24, 37, 50})
        EXPECT_EQ(CardRank(jack), 11);
    for (int v = 53; v <= 255; ++v) {
        EXPECT_EQ(CardSuit(v), 0) << v;
        EXPECT_EQ(CardRank(v), 0) << v;
    }
    for (int v = 1; v <= 52; ++v)
        EXPECT_EQ((CardSuit(v) - 1) * 13 + CardRank(v), v);
}
