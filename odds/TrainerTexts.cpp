#include "odds/TrainerTexts.h"

#include "controls/Cards.h"

#include <QStringList>

namespace brisvale {

namespace {
QString timesTheBet(const Fraction &value)
{
    return QString::number(value.value(), 'f', 4) + QStringLiteral(" \u00d7 bet");
}
} // namespace

QString ReturnPercentText(const Fraction &value) { return QString::number(value.value() * 100.0, 'f', 2) + u'%'; }

QString HoldCardsText(const Hand &hand, HoldMask mask)
{
    QStringList cards;
    for (int slot = 0; slot < 5; ++slot) {
        if (mask & (1u << slot))
            cards << CardShortName(hand[slot]);
    }
    return cards.isEmpty() ? QStringLiteral("nothing") : cards.join(u' ');
}

QString BestHoldText(const HoldAnalysis &analysis, const Hand &hand)
{
    const HoldMask best = analysis.bestHold();
    return QStringLiteral("Best hold: ") + HoldCardsText(hand, best) + QStringLiteral(", worth ")
           + timesTheBet(analysis.value(best)) + QStringLiteral(" on average");
}

QString HoldCostText(const HoldAnalysis &analysis, const Hand &hand, HoldMask played, int chartLine)
{
    if (analysis.isBest(played))
        return QString();
    const QString line = chartLine > 0 ? QStringLiteral(" (chart line %1)").arg(chartLine) : QString();
    return QStringLiteral("Your hold cost ") + timesTheBet(analysis.cost(played))
           + QStringLiteral(" on average; best: ") + HoldCardsText(hand, analysis.bestHold()) + line;
}

} // namespace brisvale
