#include "game/CardCodes.h"
#include "game/HandEvaluation.h"
#include "odds/HoldOdds.h"
#include "odds/HoldTable.h"
#include "odds/SessionLog.h"
#include "tests/support/Deals.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <numeric>
#include <set>

using namespace brisvale;

namespace {

using test::kNineSix;

Hand hand(const char *codes)
{
    const HandReading r = ReadHand(QString::fromLatin1(codes));
    EXPECT_TRUE(r.hand) << codes;
    return r.hand.value_or(Hand{});
}

HoldAnalysis analyse(const Hand &dealt, const PayoutTable &payouts = kNineSix)
{
    const auto a = HoldOdds::shared().analyse(dealt, payouts);
    EXPECT_TRUE(a.has_value());
    return a.value_or(HoldAnalysis{});
}

// How the draws after each hold end, by pay class, found by dealing out every
// draw from the 47 cards left and evaluating the final hand.
std::array<std::array<std::int64_t, kPayClassCount>, kHoldCount> dealtOut(const Hand &dealt)
{
    std::vector<cdCardDeck> stub;
    for (int c = 1; c <= 52; ++c) {
        if (std::find(dealt.begin(), dealt.end(), c) == dealt.end())
            stub.push_back(cdCardDeck(c));
    }
    std::array<std::array<std::int64_t, kPayClassCount>, kHoldCount> counts{};
    for (HoldMask m = 0; m < kHoldCount; ++m) {
        std::vector<int> open;
        for (int i = 0; i < 5; ++i) {
            if (!(m & (1u << i)))
                open.push_back(i);
        }
        Hand h = dealt;
        const auto fill = [&](auto &self, std::size_t depth, std::size_t from) -> void {
            if (depth == open.size()) {
                const Evaluation e = Evaluate(h);
                ++counts[m][e.rank == OnePair ? (e.jacksOrBetter() ? 1 : 0) : e.rank];
                return;
            }
            for (std::size_t i = from; i < stub.size(); ++i) {
                h[open[depth]] = stub[i];
                self(self, depth + 1, i + 1);
            }
        };
        fill(fill, 0, 0);
    }
    return counts;
}

Fraction valueOf(const std::array<std::int64_t, kPayClassCount> &finals, const PayoutTable &payouts)
{
    std::int64_t back = 0, draws = finals[0];
    for (int p = 1; p < kPayClassCount; ++p) {
        back += finals[p] * (payouts[p] + 1);
        draws += finals[p];
    }
    const std::int64_t g = std::gcd(back, draws);
    return {back / g, draws / g};
}

// Runs vpreturn; its exit status, standard output and standard error.
struct Finished {
    int status;
    QString out, err;
};
Finished vpreturn(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(VPRETURN), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

const QStringList kNineSixArgs{"0", "1", "2", "3", "5", "8", "24", "49", "799"};

} // namespace

// A pair of jacks with four to a flush, four to a royal with a pair of kings,
// and two tens beside J Q K, where either ten makes the same straight draw.
TEST(HoldAnalysis, EveryHoldIsWorthWhatDealingOutItsDrawsGives)
{
    for (const char *codes : {"JS JH 4S 8S 2S", "TH JH QH KH KS", "TC TD JS QH KD"}) {
        SCOPED_TRACE(codes);
        const Hand dealt = hand(codes);
        const auto counts = dealtOut(dealt);
        for (const PayoutTable &payouts : {kNineSix, PayoutTable::defaults()}) {
            const HoldAnalysis a = analyse(dealt, payouts);
            for (HoldMask m = 0; m < kHoldCount; ++m)
                EXPECT_EQ(a.value(m), valueOf(counts[m], payouts)) << "hold mask " << m;

            const HoldTable t(dealt, a);
            ASSERT_EQ(t.rows().size(), std::size_t(kHoldCount));
            for (std::size_t r = 1; r < t.rows().size(); ++r) {
                const auto &above = t.rows()[r - 1], &row = t.rows()[r];
                EXPECT_GE(above.value.value(), row.value.value());
                EXPECT_EQ(row.place == above.place, above.value == row.value);
            }
        }

        // The command line prints the same fractions, best first.
        const Finished run = vpreturn(QStringList{"--hand", QString::fromLatin1(codes).toLower()} + kNineSixArgs);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), kHoldCount);
        std::set<HoldMask> seen;
        double previous = 1e9;
        for (const QString &line : lines) {
            const QStringList fields = line.split(u'\t');
            ASSERT_EQ(fields.size(), 3) << line.toStdString();
            HoldMask m = 0;
            for (int slot = 0; slot < 5; ++slot) {
                if (fields[0].split(u' ').contains(CardCode(dealt[slot])))
                    m |= 1u << slot;
            }
            EXPECT_EQ(fields[0], HeldCodes(dealt, m));
            seen.insert(m);
            const Fraction f = valueOf(counts[m], kNineSix);
            EXPECT_EQ(fields[1].toStdString(), f.text());
            EXPECT_EQ(fields[2].toStdString(), f.decimal(6));
            EXPECT_LE(f.value(), previous);
            previous = f.value();
        }
        EXPECT_EQ(seen.size(), std::size_t(kHoldCount));
    }
}

TEST(HoldAnalysis, EqualHoldsShareTheirPlaceAndAreNeverMistakes)
{
    const Hand dealt = hand("TC TD JS QH KD");
    const HoldAnalysis a = analyse(dealt);
    const HoldMask firstTen = 0b11101, secondTen = 0b11110;
    const HoldTable t(dealt, a, secondTen);
    ASSERT_GE(t.rows().size(), 2u);
    for (int r : {0, 1}) {
        EXPECT_EQ(HoldTable::placeText(t.rows()[r]), QStringLiteral("1="));
        EXPECT_TRUE(t.rows()[r].best);
    }
    EXPECT_EQ(t.rows()[0].mask, firstTen);
    EXPECT_EQ(HoldTable::markText(t.rows()[1], 5), QStringLiteral("Best (equal), your hold"));
    EXPECT_EQ(HoldTable::placeText(t.rows()[2]), QStringLiteral("3"));

    SessionLog log;
    log.record(dealt, secondTen, 5, a);
    log.record(dealt, firstTen, 5, a);
    EXPECT_EQ(log.handsPlayed(), 2);
    EXPECT_TRUE(log.mistakes().empty());
    EXPECT_EQ(log.costInCoins(), (Fraction{0, 1}));
    EXPECT_EQ(log.playedReturn(), log.bestReturn());
}

TEST(HoldAnalysis, AWeakHoldIsLoggedWithItsCost)
{
    // Q Q A A 9: keeping the nine alone instead of the two pair.
    const Hand dealt = hand("QD QS AH AD 9C");
    const HoldAnalysis a = analyse(dealt);
    const HoldMask nine = 0b10000;
    SessionLog log;
    EXPECT_EQ(log.costCurveText(), QStringLiteral("No hands played yet."));
    EXPECT_TRUE(log.totalCurve().empty());
    log.record(hand("TC TD JS QH KD"), 0b11101, 10, analyse(hand("TC TD JS QH KD")), kNineSix, {1000, 990});
    log.record(dealt, nine, 5, a, kNineSix, {990, 985});

    ASSERT_EQ(log.mistakes().size(), 1u);
    const SessionLog::Mistake &m = log.mistakes().front();
    EXPECT_EQ(m.hand, 2);
    EXPECT_EQ(m.best, 0b01111u);
    EXPECT_EQ(m.cost, a.cost(nine));
    EXPECT_EQ(m.cost, a.best() - a.value(nine));
    EXPECT_EQ(m.coins(), m.cost.times(5));
    EXPECT_EQ(log.costInCoins(), m.coins());
    const std::string cost = m.cost.decimal(4), coins = m.coins().decimal(2);
    // Every hand is in the file, marked right or wrong.
    EXPECT_EQ(log.csv().toStdString(), "Hand,Dealt,Held,Best hold,Bet,Cost (x bet),Cost (coins),Played\n"
                                       "1,TC TD JS QH KD,TC JS QH KD,TC JS QH KD,10,0.0000,0.00,right\n"
                                       "2,QD QS AH AD 9C,9C,QD QS AH AD,5,"
                                           + cost + ',' + coins + ",wrong\n");
    EXPECT_TRUE(log.summary().startsWith(QStringLiteral("Hands played: 2\nMistakes: 1\nPlayed right: 50.00%\n"
                                                        "Cost of the mistakes: %1 coins\n")
                                             .arg(QString::fromStdString(coins))));
    // The session's charts, drawn and in words.
    EXPECT_EQ(log.totalCurve(), (std::vector<double>{1000, 990, 985}));
    EXPECT_EQ(log.costCurve(), (std::vector<double>{0, 0, m.coins().value()}));
    EXPECT_EQ(log.totalCurveText(),
              QStringLiteral("The total went from 1000 to 985 over 2 hands; lowest 985 after hand 2, highest 990 "
                             "after hand 1."));
    EXPECT_EQ(log.costCurveText(),
              QStringLiteral("1 mistake in 2 hands cost %1 coins in all; the costliest, %1 coins, at hand 2.")
                  .arg(QString::fromStdString(coins)));
    // Over 15 coins bet: what the holds played bring back against best play.
    const Fraction best = analyse(hand("TC TD JS QH KD")).best().times(10) + a.best().times(5);
    EXPECT_EQ(log.bestReturn(), best.over(15));
    EXPECT_EQ(log.bestReturn() - log.playedReturn(), m.coins().over(15));
}

TEST(HoldAnalysis, CommandLineRefusesWhatIsNotOneDealtHand)
{
    const struct {
        const char *hand;
        const char *says;
    } refused[] = {
        {"TC TD JS QH", "a hand is five cards, not 4"}, {"TC TD JS QH KD 2C", "a hand is five cards, not 6"},
        {"TC TD JS QH 1D", "\"1D\" is not a card"},     {"TC TD JS QH KX", "\"KX\" is not a card"},
        {"TC TD JS QH 10D", "\"10D\" is not a card"},   {"TC TD JS tc KD", "TC is dealt twice"},
    };
    for (const auto &r : refused) {
        const Finished run = vpreturn(QStringList{"--hand", QString::fromLatin1(r.hand)} + kNineSixArgs);
        EXPECT_EQ(run.status, 2) << r.hand;
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(r.says))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_EQ(vpreturn({"--hand", "TC TD JS QH KD", "0", "1"}).status, 2);
    const Finished badPayout = vpreturn(
        QStringList{"--hand", "TC TD JS QH KD", "0", "1", "2", "3", "5", "8", "24", "49", "x"});
    EXPECT_EQ(badPayout.status, 2);
    EXPECT_TRUE(badPayout.err.contains(QStringLiteral("H9 must be a whole number")));
}
