#include "odds/SessionLog.h"

#include "game/CardCodes.h"

#include <QStringList>

namespace brisvale {

namespace {

QString decimal(const Fraction &f, int places) { return QString::fromStdString(f.decimal(places)); }

QString percent(const Fraction &f) { return decimal(f.times(100), 2) + u'%'; }

} // namespace

void SessionLog::record(const Hand &dealt, HoldMask played, int bet, const HoldAnalysis &analysis,
                        const PayoutTable &payouts)
{
    bet_ += bet;
    played_ = played_ + analysis.value(played).times(bet);
    best_ = best_ + analysis.best().times(bet);
    const Mistake m{int(hands_.size()) + 1, dealt, played, analysis.bestHold(), bet, analysis.cost(played), payouts};
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

} // namespace brisvale
