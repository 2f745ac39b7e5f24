#include "odds/StrategyChart.h"
#include "odds/PayTableStats.h"
#include "tests/support/Deals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

using namespace brisvale;

namespace {

using test::kEightFive;
using test::kNineSix;
using test::payTable;

// The deals up to the names of their suits, found here by brute force: each
// of the 2,598,960 deals reduced to its suits' rank sets in descending order.
struct DealKind {
    Hand hand{};
    int deals = 0;
};
std::vector<DealKind> everyDealKind()
{
    std::unordered_map<std::uint64_t, DealKind> kinds;
    test::forEveryDeal([&](const Hand &h) {
        std::array<std::uint64_t, 4> suits{};
        for (cdCardDeck card : h)
            suits[std::size_t(CardSuit(card) - 1)] |= 1u << CardRank(card);
        std::sort(suits.begin(), suits.end(), std::greater<>());
        const std::uint64_t key = suits[0] << 42 | suits[1] << 28 | suits[2] << 14 | suits[3];
        DealKind &kind = kinds[key];
        if (kind.deals++ == 0)
            kind.hand = h;
    });
    std::vector<DealKind> out;
    out.reserve(kinds.size());
    for (const auto &[key, kind] : kinds)
        out.push_back(kind);
    return out;
}

// What following the chart returns, counted apart from the generator.
Fraction followed(const StrategyChart &chart, const std::vector<DealKind> &kinds)
{
    std::int64_t total = 0, deals = 0;
    for (const DealKind &kind : kinds) {
        const auto holds = HoldOdds::shared().analyse(kind.hand, chart.payouts());
        const StrategyChart::Choice choice = chart.choose(kind.hand, *holds);
        EXPECT_GE(choice.line, 1);
        EXPECT_LE(choice.line, chart.lineCount());
        total += holds->scaledValue(choice.hold) * kind.deals;
        deals += kind.deals;
    }
    EXPECT_EQ(deals, HoldOdds::kAllDeals);
    return Fraction{total, 1}.over(HoldAnalysis::kScale * deals);
}

double points(const Fraction &f) { return f.value() * 100.0; }

} // namespace

TEST(StrategyChart, NineSixChartReturnsWhatFollowingItOverEveryDealReturns)
{
    const auto chart = StrategyChart::generate(HoldOdds::shared(), kNineSix);
    ASSERT_TRUE(chart);
    const std::vector<DealKind> kinds = everyDealKind();
    EXPECT_EQ(kinds.size(), HoldOdds::kDealKinds);
    EXPECT_EQ(chart->chartReturn(), followed(*chart, kinds));
    EXPECT_EQ(chart->bestReturn(), (Fraction{1653526326983, 1661102543100}));
    EXPECT_LE(chart->lineCount(), StrategyChart::kMaxLines);
    EXPECT_LE(points(chart->bestReturn()) - points(chart->chartReturn()), 0.05);
    EXPECT_LE(chart->chartReturn().value(), chart->bestReturn().value());

    // A few hands read as a player reads them.
    const auto lineFor = [&](const Hand &hand) {
        return chart->lineText(chart->choose(hand, *HoldOdds::shared().analyse(hand, kNineSix)).line);
    };
    // Spades 1..13, hearts 14..26: the ten to king of spades and a low heart.
    EXPECT_EQ(lineFor({10, 11, 12, 13, 15}), QStringLiteral("4 to a royal flush"));
    EXPECT_EQ(lineFor({11, 24, 3, 17, 31}), QStringLiteral("High pair (jacks or better)"));
}

TEST(StrategyChart, StaysCloseToBestPlayOnOtherTablesThatRiseWithTheHand)
{
    for (const PayoutTable &payouts :
         {kEightFive, payTable({1, 1, 2, 4, 6, 9, 40, 60, 1000}), payTable({0, 0, 1, 1, 3, 3, 10, 50, 250})}) {
        const auto chart = StrategyChart::generate(HoldOdds::shared(), payouts);
        ASSERT_TRUE(chart);
        const double limit = payouts.h == kEightFive.h ? 0.05 : 0.1;
        EXPECT_LE(points(chart->bestReturn()) - points(chart->chartReturn()), limit);
        EXPECT_LE(chart->lineCount(), StrategyChart::kMaxLines);
    }
}

TEST(PayTableStats, NineSixMatchesThePublishedFigures)
{
    const auto stats = PayTableStats::count(HoldOdds::shared(), kNineSix);
    ASSERT_TRUE(stats);
    EXPECT_NEAR(1.0 / stats->probability[9].value(), 40390.55, 0.005);
    EXPECT_NEAR(stats->variance, 19.514676, 5e-7);
    EXPECT_EQ(stats->value, (Fraction{1653526326983, 1661102543100}));
    Fraction sum;
    for (const Fraction &p : stats->probability)
        sum = sum + p;
    EXPECT_EQ(sum, (Fraction{1, 1}));
    EXPECT_NEAR(stats->hitFrequency.value(), 0.4545, 0.0001);

    // Losing 100 bets within 100 hands needs a loss every hand; within 0 hands is refused.
    EXPECT_NEAR(*RiskOfRuin::chance(*stats, kNineSix, 100, 100), std::pow(stats->probability[0].value(), 100), 1e-12);
    EXPECT_FALSE(RiskOfRuin::chance(*stats, kNineSix, 100, 0));
    EXPECT_FALSE(RiskOfRuin::chance(*stats, kNineSix, RiskOfRuin::kMostBets + 1, 100));
    const double some = *RiskOfRuin::chance(*stats, kNineSix, 50, 2000);
    EXPECT_GT(some, 0.0);
    EXPECT_LT(some, *RiskOfRuin::chance(*stats, kNineSix, 50, 4000));
}
