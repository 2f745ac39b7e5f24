#include "odds/SessionLog.h"

#include "game/CardCodes.h"

#include <QStringList>

namespace brisvale {

namespace {

QString decimal(const Fraction &f, int places) { return QString::fromStdString(f.decimal(places)); }

QString percent(const Fraction &f) { return decimal(f.times(100), 2) + u'%'; }

} // namespace

void SessionLog::record(const Hand &dealt, HoldMask played, int bet, const HoldAnalysis &analysis,
                        const PayoutTable &payouts, HandTotals totals)
{
    bet_ += bet;
    played_ = played_ + analysis.value(played).times(bet);
    best_ = best_ + analysis.best().times(bet);
    const Mistake m{int(hands_.size()) + 1, dealt,   played,        analysis.bestHold(), bet,
                    analysis.cost(played),  payouts, totals.before, totals.after};
    hands_.push_back(m);
    if (analysis.isBest(played))
        return;
    cost_ = cost_ + m.coins();
    mistakes_.push_back(m);
}

Fraction SessionLog::playedReturn() const { return bet_ > 0 ? played_.over(bet_) : Fraction{}; }

Fraction SessionLog::bestReturn() const { return bet_ > 0 ? best_.over(bet_) : Fraction{}; }

QString SessionLog::summary() const
{
    QStringList lines;
    const int hands = handsPlayed();
    lines << QStringLiteral("Hands played: %1").arg(hands);
    lines << QStringLiteral("Mistakes: %1").arg(mistakes_.size());
    if (hands > 0) {
        lines << QStringLiteral("Played right: %1")
                     .arg(percent(Fraction{std::int64_t(hands) - std::int64_t(mistakes_.size()), hands}));
    }
    lines << QStringLiteral("Cost of the mistakes: %1 coins").arg(decimal(cost_, 2));
    if (bet_ > 0) {
        lines << QStringLiteral("Return of your holds: %1 (best holds on the same deals: %2)")
                     .arg(percent(playedReturn()), percent(bestReturn()));
    }
    return lines.join(u'\n');
}

QString SessionLog::csv() const
{
    QString out = QStringLiteral("Hand,Dealt,Held,Best hold,Bet,Cost (x bet),Cost (coins),Played\n");
    for (const Mistake &m : hands_) {
        // A hold worth as much as the best is right even where it is not the one named best.
        const bool right = m.cost.numerator == 0;
        out += QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8\n")
                   .arg(m.hand)
                   .arg(HandCodes(m.dealt), HeldCodes(m.dealt, m.played), HeldCodes(m.dealt, m.best))
                   .arg(m.bet)
                   .arg(decimal(m.cost, 4), decimal(m.coins(), 2),
                        right ? QStringLiteral("right") : QStringLiteral("wrong"));
    }
    return out;
}

std::vector<double> SessionLog::totalCurve() const
{
    std::vector<double> points;
    if (hands_.empty())
        return points;
    points.reserve(hands_.size() + 1);
    points.push_back(double(hands_.front().totalBefore));
    for (const Mistake &m : hands_)
        points.push_back(double(m.totalAfter));
    return points;
}

std::vector<double> SessionLog::costCurve() const
{
    std::vector<double> points;
    if (hands_.empty())
        return points;
    points.reserve(hands_.size() + 1);
    double cost = 0;
    points.push_back(cost);
    for (const Mistake &m : hands_)
        points.push_back(cost += m.coins().value());
    return points;
}

QString SessionLog::totalCurveText() const
{
    if (hands_.empty())
        return QStringLiteral("No hands played yet.");
    const Mistake *low = &hands_.front();
    const Mistake *high = low;
    for (const Mistake &m : hands_) {
        low = m.totalAfter < low->totalAfter ? &m : low;
        high = m.totalAfter > high->totalAfter ? &m : high;
    }
    return QStringLiteral("The total went from %1 to %2 over %3 %4; lowest %5 after hand %6, highest %7 after hand %8.")
        .arg(hands_.front().totalBefore)
        .arg(hands_.back().totalAfter)
        .arg(hands_.size())
        .arg(hands_.size() == 1 ? QStringLiteral("hand") : QStringLiteral("hands"))
        .arg(low->totalAfter)
        .arg(low->hand)
        .arg(high->totalAfter)
        .arg(high->hand);
}

QString SessionLog::costCurveText() const
{
    if (hands_.empty())
        return QStringLiteral("No hands played yet.");
    const QString hands = QStringLiteral("%1 %2")
                              .arg(hands_.size())
                              .arg(hands_.size() == 1 ? QStringLiteral("hand") : QStringLiteral("hands"));
    if (mistakes_.empty())
        return QStringLiteral("No mistakes in %1: the holds cost nothing.").arg(hands);
    const Mistake *worst = &mistakes_.front();
    for (const Mistake &m : mistakes_)
        worst = m.coins().value() > worst->coins().value() ? &m : worst;
    return QStringLiteral("%1 %2 in %3 cost %4 coins in all; the costliest, %5 coins, at hand %6.")
        .arg(mistakes_.size())
        .arg(mistakes_.size() == 1 ? QStringLiteral("mistake") : QStringLiteral("mistakes"))
        .arg(hands, decimal(cost_, 2), decimal(worst->coins(), 2))
        .arg(worst->hand);
}

} // namespace brisvale
