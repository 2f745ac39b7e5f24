#include "game/PokerGame.h"
#include "game/RandomGenerator.h"

#include <gtest/gtest.h>

using namespace brisvale;

TEST(PokerGame, StartsWaitingWithCardBacksAndDrawMarks)
{
    RandomGenerator g;
    PokerGame game(g);
    EXPECT_EQ(game.phase(), PokerGame::Phase::WaitingFirstDeal);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(game.hand()[k], kExtraCardBack);
        EXPECT_EQ(game.mark(k), HoldMark::Draw);
    }
    EXPECT_EQ(game.total(), 1000);
    EXPECT_EQ(game.bet(), 5);
}

TEST(PokerGame, StoredTotalIsTakenOnlyStrictlyBetween50And50000)
{
    RandomGenerator g;
    for (auto [stored, expected] : {std::pair{50, 1000}, {50000, 1000}, {51, 51}, {49999, 49999}, {-1, 1000}}) {
        PokerGame game(g);
        game.restoreTotal(stored);
        EXPECT_EQ(game.total(), expected) << stored;
    }
}

TEST(PokerGame, StoredBetRules)
{
    RandomGenerator g;
    PokerGame game(g);
    game.restoreBet(1000); // equal to the total: ignored
    EXPECT_EQ(game.bet(), 5);
    game.restoreBet(250);
    EXPECT_EQ(game.bet(), 250);
    game.restoreBet(-1); // absent
    EXPECT_EQ(game.bet(), 5);
    game.restoreBet(3); // below the range
    EXPECT_EQ(game.bet(), 5);
    game.setTotal(40000);
    game.restoreBet(5000); // above the range
    EXPECT_EQ(game.bet(), 1000);
}

TEST(PokerGame, TypedBetIsSettledIntoRange)
{
    RandomGenerator g;
    PokerGame game(g);
    EXPECT_EQ(game.betFromText(QStringLiteral("3")), 5);
    EXPECT_EQ(game.betFromText(QStringLiteral("2000")), 1000);
    EXPECT_EQ(game.betFromText(QStringLiteral("abc")), 5);
    EXPECT_EQ(game.betFromText(QStringLiteral("")), 5);
    EXPECT_EQ(game.betFromText(QStringLiteral(" 250 ")), 250);
}

TEST(PokerGame, BrokePlayerIsHeldAtFiveForTheRestOfTheRun)
{
    RandomGenerator g;
    PokerGame game(g);
    game.setBet(100);
    game.setTotal(15);
    game.deal();
    EXPECT_EQ(game.bet(), 5);
    EXPECT_EQ(game.betMaximum(), 5);
    game.draw();
    game.setTotal(100000);
    game.setBet(500);
    EXPECT_EQ(game.bet(), 5);
    game.deal();
    EXPECT_EQ(game.betMaximum(), 5);
    EXPECT_EQ(game.betFromText(QStringLiteral("100")), 5);
}

TEST(PokerGame, DealHoldDrawSettles)
{
    RandomGenerator g; // seed 0: 7C KC 6D 5S 4S, then 9C 4H 3D QS 10H
    PokerGame game(g);
    game.deal();
    EXPECT_EQ(game.phase(), PokerGame::Phase::Dealt);
    EXPECT_EQ(game.hand(), (Hand{33, 39, 45, 5, 4}));
    game.toggleHold(4); // keep the 4 of spades
    EXPECT_EQ(game.mark(4), HoldMark::Hold);
    const PokerGame::DrawResult r = game.draw();
    // 9C 4H 3D QS 4S: a pair of fours, lost.
    EXPECT_EQ(game.hand(), (Hand{35, 17, 42, 12, 4}));
    EXPECT_EQ(r.evaluation.rank, OnePair);
    EXPECT_FALSE(r.settlement.won);
    EXPECT_EQ(game.total(), 995);
    EXPECT_EQ(game.phase(), PokerGame::Phase::Settled);
    EXPECT_EQ(game.deck().position(), 9);
    game.markAllOver();
    game.toggleHold(0);
    EXPECT_EQ(game.mark(0), HoldMark::Draw); // "Over" toggles to "Draw"
}

TEST(PokerGame, WinPercentage)
{
    GameCounters c;
    EXPECT_EQ(winPercentage(c), 0);
    c.wins = 1;
    EXPECT_EQ(winPercentage(c), 100);
    c.losses = 1;
    EXPECT_EQ(winPercentage(c), 50);
    c.losses = 2;
    EXPECT_EQ(winPercentage(c), 33);
    c.wins = 2;
    c.losses = 1;
    EXPECT_EQ(winPercentage(c), 66);
    c.wins = 0;
    EXPECT_EQ(winPercentage(c), 0);
}
