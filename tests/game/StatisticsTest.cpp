#include "game/Statistics.h"
#include "game/PokerGame.h"

#include <gtest/gtest.h>

namespace brisvale {
namespace {

GameCounters counters(std::initializer_list<std::pair<int, std::int32_t>> perRank, std::int32_t wins = 0,
                      std::int32_t losses = 0)
{
    GameCounters c;
    for (const auto &[rank, count] : perRank)
        c.perRank[rank] = count;
    c.wins = wins;
    c.losses = losses;
    return c;
}

TEST(StatsText, BeforeAnyHand)
{
    const GameCounters none;
    EXPECT_EQ(statsLine1(none), QStringLiteral("Player has Won 0 hands and Lost 0 Total Pairs =0"));
    EXPECT_EQ(statsLine2(none), QStringLiteral(" "));
}

TEST(StatsText, FirstLineCountsWinsLossesAndEveryPair)
{
    EXPECT_EQ(statsLine1(counters({{1, 17}}, 12, 30)),
              QStringLiteral("Player has Won 12 hands and Lost 30 Total Pairs =17"));
}

TEST(StatsText, HighHandsWithoutTwoPairKeepTheLeadingBlank)
{
    EXPECT_EQ(statsLine2(counters({{2, 0}, {3, 2}, {5, 1}})), QStringLiteral("  3 of a Kind=2 Flushs=1"));
}

TEST(StatsText, TwoPairAloneStartsTheLine)
{
    EXPECT_EQ(statsLine2(counters({{2, 4}})), QStringLiteral("High Hands Two Pair=4"));
}

TEST(StatsText, EveryHighHandInRankOrder)
{
    EXPECT_EQ(statsLine2(counters({{9, 1}, {8, 2}, {7, 3}, {6, 4}, {5, 5}, {4, 6}, {3, 7}, {2, 8}, {1, 50}})),
              QStringLiteral("High Hands Two Pair=8 3 of a Kind=7 Straights=6 Flushs=5 Full House=4"
                             " 4 of a Kind=3 Straight Flush=2 Royal Flush=1"));
    // Pairs and no-pair hands never appear on the second line.
    EXPECT_EQ(statsLine2(counters({{0, 9}, {1, 9}})), QStringLiteral(" "));
}

TEST(StatsText, LargestCountsAreShownWhole)
{
    // The 250-character limit lies beyond the longest texts 32-bit counters
    // can make, so nothing is ever cut off.
    const std::int32_t big = 2147483647;
    EXPECT_EQ(statsLine1(counters({{1, big}}, big, -big)),
              QStringLiteral("Player has Won 2147483647 hands and Lost -2147483647 Total Pairs =2147483647"));
    GameCounters all;
    all.perRank.fill(big);
    const QString n = QString::number(big);
    EXPECT_EQ(statsLine2(all), QStringLiteral("High Hands Two Pair=") + n + QStringLiteral(" 3 of a Kind=") + n
                                   + QStringLiteral(" Straights=") + n + QStringLiteral(" Flushs=") + n
                                   + QStringLiteral(" Full House=") + n + QStringLiteral(" 4 of a Kind=") + n
                                   + QStringLiteral(" Straight Flush=") + n + QStringLiteral(" Royal Flush=") + n);
}

// Mend 13: the gauge shows the exact whole percentage.
TEST(WinPercentage, Mend13ExactShareIsNotRoundedDown)
{
    // 0.58 * 100 is 57.999... in binary floating point.
    EXPECT_EQ(winPercentage(counters({}, 29, 21)), 58);
    EXPECT_EQ(winPercentage(counters({}, 29, 71)), 29);
    EXPECT_EQ(winPercentage(counters({}, 57, 43)), 57);
    EXPECT_EQ(winPercentage(counters({}, 2147483647, 2147483647)), 50);
}

TEST(StoredColor, RedGreenBlueInOneInteger)
{
    EXPECT_EQ(toStoredColor(QColor(255, 0, 0)), 255);
    EXPECT_EQ(toStoredColor(QColor(0, 255, 0)), 65280);
    EXPECT_EQ(toStoredColor(QColor(0, 0, 255)), 16711680);
    EXPECT_EQ(toStoredColor(QColor(1, 2, 3)), 1 + 2 * 256 + 3 * 65536);
    EXPECT_EQ(toStoredColor(Qt::black), 0); // never stored
    EXPECT_LT(kButtonFaceColor, 0);         // never stored
    EXPECT_EQ(fromStoredColor(1 + 2 * 256 + 3 * 65536), QColor(1, 2, 3));
    EXPECT_EQ(fromStoredColor(toStoredColor(QColor(200, 100, 50))), QColor(200, 100, 50));
}

} // namespace
} // namespace brisvale
