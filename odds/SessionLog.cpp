#include "odds/SessionLog.h"

#include "game/CardCodes.h"

#include <QStringList>

namespace brisvale {

namespace {

QString decimal(const Fraction &f, int places) { return QString::fromStdString(f.decimal(places)); }

QString percent(const Fraction &f) { return decimal(f.times(100), 2) + u'%'; }

} // namespace

void SessionLog::record(const Hand &dealt, HoldMask played, int bet, const HoldAnalysis &analysis)
{
    ++hands_;
    bet_ += bet;
    played_ = played_ + analysis.value(played).times(bet);
    best_ = best_ + analysis.best().times(bet);
    if (analysis.isBest(played))
        return;
    Mistake m{hands_, dealt, played, analysis.bestHold(), bet, analysis.cost(played)};
    cost_ = cost_ + m.coins();
    mistakes_.push_back(m);
}

Fraction SessionLog::playedReturn() const { return bet_ > 0 ? played_.over(bet_) : Fraction{}; }

Fraction SessionLog::bestReturn() const { return bet_ > 0 ? best_.over(bet_) : Fraction{}; }

QString SessionLog::summary() const
{
    QStringList lines;
    lines << QStringLiteral("Hands played: %1").arg(hands_);
    lines << QStringLiteral("Mistakes: %1").arg(mistakes_.size());
    if (hands_ > 0) {
        lines << QStringLiteral("Played right: %1")
                     .arg(percent(Fraction{std::int64_t(hands_) - std::int64_t(mistakes_.size()), hands_}));
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
    QString out = QStringLiteral("Hand,Dealt,Held,Best hold,Bet,Cost (x bet),Cost (coins)\n");
    for (const Mistake &m : mistakes_) {
        out += QStringLiteral("%1,%2,%3,%4,%5,%6,%7\n")
                   .arg(m.hand)
                   .arg(HandCodes(m.dealt), HeldCodes(m.dealt, m.played), HeldCodes(m.dealt, m.best))
                   .arg(m.bet)
                   .arg(decimal(m.cost, 4), decimal(m.coins(), 2));
    }
    return out;
}

} // namespace brisvale
