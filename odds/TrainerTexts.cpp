#include "odds/TrainerTexts.h"

#include "game/CardCodes.h"

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
    return mask == 0 ? QStringLiteral("nothing") : HeldCodes(hand, mask);
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

QString CostlyDrawQuestion(const HoldAnalysis &analysis, const Hand &hand, HoldMask played, int bet, int chartLine,
                           const QString &chartWords, HoldMask chartHold)
{
    const Fraction cost = analysis.cost(played);
    QString text = QStringLiteral("Holding %1 costs %2 on average (%3 coins at your bet of %4).")
                       .arg(HeldCodes(hand, played), timesTheBet(cost),
                            QString::fromStdString(cost.times(bet).decimal(2)))
                       .arg(bet);
    if (chartLine > 0)
        text += QStringLiteral("\nThe strategy chart says, line %1 (%2): hold %3.")
                    .arg(chartLine)
                    .arg(chartWords, HeldCodes(hand, chartHold));
    else
        text += QStringLiteral("\nThe best hold is %1.").arg(HeldCodes(hand, analysis.bestHold()));
    return text + QStringLiteral("\n\nDraw anyway? (No goes back to change the hold.)");
}

} // namespace brisvale
