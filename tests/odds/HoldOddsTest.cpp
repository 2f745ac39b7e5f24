#include "odds/HoldOdds.h"
#include "game/HandEvaluation.h"
#include "tests/support/Deals.h"

#include <gtest/gtest.h>

using namespace brisvale;

namespace brisvale {
void PrintTo(const Fraction &f, std::ostream *os) { *os << f.numerator << '/' << f.denominator; }
} // namespace brisvale

namespace {

// Card from rank (1 ace .. 13 king) and suit (1 spades, 2 hearts, 3 clubs, 4 diamonds).
constexpr cdCardDeck card(int rank, int suit) { return cdCardDeck((suit - 1) * 13 + rank); }

using test::kNineSix;
using test::payTable;

HoldMask keep(std::initializer_list<int> held) // slot numbers 1..5
{
    HoldMask m = 0;
    for (int s : held)
        m |= 1u << (s - 1);
    return m;
}

HoldAnalysis analyse(const Hand &hand, const PayoutTable &payouts = kNineSix)
{
    const auto a = HoldOdds::shared().analyse(hand, payouts);
    EXPECT_TRUE(a.has_value());
    return a.value_or(HoldAnalysis{});
}

} // namespace

TEST(HoldOdds, NineSixTableReturnsTheKnownFractionWithItsTiedDeals)
{
    const auto r = HoldOdds::shared().tableReturn(kNineSix);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->value, (Fraction{1653526326983, 1661102543100}));
    EXPECT_NEAR(r->value.value(), 0.99543904, 1e-8);
    EXPECT_EQ(r->dealsWithSeveralBestHolds, 876u);
}

TEST(HoldOdds, TableOfZerosStillReturnsTheStakeOfEveryWin)
{
    // Only the stake comes back: the chance of ending with jacks or better
    // when playing for nothing else.
    const auto zeros = HoldOdds::shared().tableReturn(payTable({0, 0, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(zeros);
    EXPECT_EQ(zeros->value, (Fraction{6019390248, 12584110175}));
    // The table a new player starts with returns far less than 9/6.
    const auto defaults = HoldOdds::shared().tableReturn(PayoutTable::defaults());
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->value, (Fraction{384980685589, 415275635775}));
}

TEST(HoldOdds, EquallyGoodHoldsAreAllBest)
{
    // Four kings: the kicker changes nothing.
    const HoldAnalysis quads = analyse({card(13, 1), card(2, 3), card(13, 2), card(13, 3), card(13, 4)});
    EXPECT_EQ(quads.bestHolds(), (std::vector<HoldMask>{keep({1, 3, 4, 5}), keep({1, 2, 3, 4, 5})}));
    EXPECT_EQ(quads.cost(keep({1, 2, 3, 4, 5})), (Fraction{0, 1}));
    EXPECT_EQ(quads.best(), (Fraction{25, 1}));

    // Two tens with J Q K: either ten makes the same straight draw.
    const HoldAnalysis tens = analyse({card(10, 1), card(11, 3), card(10, 2), card(12, 4), card(13, 1)});
    EXPECT_EQ(tens.bestHolds(), (std::vector<HoldMask>{keep({1, 2, 4, 5}), keep({2, 3, 4, 5})}));
    EXPECT_GT(tens.cost(keep({1, 3})).value(), 0.0);
}

TEST(HoldOdds, ClassicDeals)
{
    const HoldAnalysis royal = analyse({card(12, 2), card(1, 2), card(10, 2), card(13, 2), card(11, 2)});
    EXPECT_EQ(royal.bestHolds(), std::vector<HoldMask>{keep({1, 2, 3, 4, 5})});
    EXPECT_EQ(royal.best(), (Fraction{800, 1}));

    // A made flush is thrown away for four to the royal.
    const HoldAnalysis flush = analyse({card(1, 2), card(3, 2), card(13, 2), card(12, 2), card(11, 2)});
    EXPECT_EQ(flush.bestHolds(), std::vector<HoldMask>{keep({1, 3, 4, 5})});
    EXPECT_EQ(flush.value(keep({1, 2, 3, 4, 5})), (Fraction{6, 1}));
    // Of 47 draws: the ten of hearts, 7 more hearts, 3 other tens, 12 high pairs.
    EXPECT_EQ(flush.best(), (Fraction{800 + 7 * 6 + 3 * 4 + 12 * 1, 47}));
    EXPECT_EQ(flush.cost(keep({1, 2, 3, 4, 5})), (Fraction{866 - 6 * 47, 47}));

    // A low pair beats a four-card inside straight.
    const HoldAnalysis low = analyse({card(9, 1), card(5, 1), card(8, 4), card(5, 2), card(6, 3)});
    EXPECT_EQ(low.bestHolds(), std::vector<HoldMask>{keep({2, 4})});
    EXPECT_GT(low.cost(keep({1, 2, 3, 5})).value(), 0.0);
}

TEST(HoldOdds, EveryHoldCountsAsDealingOutEveryDraw)
{
    const Hand dealt{card(11, 1), card(10, 1), card(10, 3), card(4, 4), card(9, 1)};
    const HoldAnalysis a = analyse(dealt);
    std::array<bool, 53> inDeal{};
    for (cdCardDeck c : dealt)
        inDeal[c] = true;
    std::vector<cdCardDeck> stub;
    for (int c = 1; c <= 52; ++c) {
        if (!inDeal[c])
            stub.push_back(cdCardDeck(c));
    }
    for (HoldMask m = 0; m < kHoldCount; ++m) {
        HoldAnalysis::Outcome counted;
        std::vector<int> open;
        for (int i = 0; i < 5; ++i) {
            if (!(m & (1u << i)))
                open.push_back(i);
        }
        // Every way to fill the open slots from the 47 cards left, in ascending order.
        std::vector<int> pick(open.size());
        const auto fill = [&](auto &self, std::size_t depth, int from) -> void {
            if (depth == open.size()) {
                Hand h = dealt;
                for (std::size_t j = 0; j < open.size(); ++j)
                    h[open[j]] = stub[pick[j]];
                const Evaluation e = Evaluate(h);
                ++counted.finals[e.rank == OnePair ? (e.jacksOrBetter() ? 1 : 0) : e.rank];
                ++counted.draws;
                return;
            }
            for (int i = from; i < int(stub.size()); ++i) {
                pick[depth] = i;
                self(self, depth + 1, i + 1);
            }
        };
        fill(fill, 0, 0);
        EXPECT_EQ(a.outcome(m).finals, counted.finals) << "hold mask " << m;
        EXPECT_EQ(a.outcome(m).draws, counted.draws) << "hold mask " << m;
    }
}

TEST(HoldOdds, RefusesWhatItCannotValue)
{
    const HoldOdds &odds = HoldOdds::shared();
    EXPECT_FALSE(odds.analyse({card(2, 1), card(2, 1), card(3, 1), card(4, 1), card(5, 1)}, kNineSix));
    EXPECT_FALSE(odds.analyse({card(2, 1), kJoker, card(3, 1), card(4, 1), card(5, 1)}, kNineSix));
    EXPECT_FALSE(odds.tableReturn(payTable({0, 1, 2, 3, 5, 8, 24, 49, -1})));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(odds.tableReturn(kNineSix, stop.get_token()));
}
