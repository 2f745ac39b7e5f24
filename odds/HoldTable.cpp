#include "odds/HoldTable.h"

#include "game/CardCodes.h"

#include <QStringList>

namespace brisvale {

HoldTable::HoldTable(const Hand &dealt, const HoldAnalysis &analysis, std::optional<HoldMask> played)
    : dealt_(dealt), analysis_(analysis), played_(played)
{
    const auto order = analysis.ranked();
    rows_.reserve(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        Row row;
        row.mask = order[i];
        row.value = analysis.value(row.mask);
        row.cost = analysis.cost(row.mask);
        row.best = analysis.isBest(row.mask);
        row.played = played && *played == row.mask;
        const bool sameAsAbove = i > 0 && std::is_eq(analysis.compare(order[i - 1], row.mask));
        row.place = sameAsAbove ? rows_.back().place : int(i) + 1;
        if (sameAsAbove)
            rows_.back().tied = row.tied = true;
        rows_.push_back(row);
    }
}

int HoldTable::rowOf(HoldMask mask) const
{
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].mask == mask)
            return int(i);
    }
    return -1;
}

QString HoldTable::placeText(const Row &row)
{
    return QString::number(row.place) + (row.tied ? QStringLiteral("=") : QString());
}

QString HoldTable::cardsText(HoldMask mask) const { return HeldCodes(dealt_, mask); }

QString HoldTable::coinsText(const Fraction &perUnit, int bet)
{
    return QString::fromStdString(perUnit.times(bet).decimal(2));
}

QString HoldTable::markText(const Row &row, int bet)
{
    QStringList marks;
    if (row.best)
        marks << (row.tied ? QStringLiteral("Best (equal)") : QStringLiteral("Best"));
    if (row.played) {
        if (row.best)
            marks << QStringLiteral("your hold");
        else
            marks
                << QStringLiteral("Your hold, costs %1 (%2 coins)").arg(returnText(row.cost), coinsText(row.cost, bet));
    }
    return marks.join(QStringLiteral(", "));
}

std::vector<HoldTable::Final> HoldTable::finals(HoldMask mask) const
{
    static const char *const names[kPayClassCount] = {
        "Nothing", "Jacks or Better", "Two Pair",       "Three of a Kind", "Straight",
        "Flush",   "Full House",      "Four of a Kind", "Straight Flush",  "Royal Flush"};
    const HoldAnalysis::Outcome &outcome = analysis_.outcome(mask);
    std::vector<Final> out;
    for (int p = kPayClassCount - 1; p >= 1; --p)
        out.push_back({QString::fromLatin1(names[p]), outcome.finals[p], outcome.draws});
    out.push_back({QString::fromLatin1(names[0]), outcome.finals[0], outcome.draws});
    return out;
}

QString HoldTable::probabilityText(const Final &final)
{
    const Fraction share{std::int64_t(final.draws) * 100, std::int64_t(final.of)};
    return QString::fromStdString(share.decimal(4)) + u'%';
}

} // namespace brisvale
