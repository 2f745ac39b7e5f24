#include "game/PokerGame.h"

#include "game/RandomGenerator.h"

#include <algorithm>

namespace brisvale {

QString holdCaption(HoldMark mark)
{
    switch (mark) {
    case HoldMark::Draw: return QStringLiteral("Draw");
    case HoldMark::Hold: return QStringLiteral("Hold");
    case HoldMark::Over: return QStringLiteral("Over");
    }
    return QString();
}

PokerGame::PokerGame(RandomGenerator &generator) : generator_(generator)
{
    hand_.fill(kExtraCardBack);
    marks_.fill(HoldMark::Draw);
}

void PokerGame::setBet(int value) { bet_ = std::clamp(value, kMinimumBet, betMaximum_); }

int PokerGame::betFromText(const QString &text) const
{
    bool ok = false;
    const qlonglong typed = text.trimmed().toLongLong(&ok);
    if (!ok)
        return kMinimumBet;
    return int(std::clamp<qlonglong>(typed, kMinimumBet, betMaximum_));
}

void PokerGame::restoreBet(std::int32_t storedAmount)
{
    if (storedAmount > 0 && storedAmount < total_)
        setBet(storedAmount);
    else if (storedAmount < 0)
        bet_ = kMinimumBet;
}

void PokerGame::restoreTotal(std::int32_t storedTotal)
{
    if (storedTotal > 50 && storedTotal < 50000)
        total_ = storedTotal;
}

void PokerGame::toggleHold(int slot)
{
    HoldMark &mark = marks_.at(slot);
    mark = (mark == HoldMark::Draw) ? HoldMark::Hold : HoldMark::Draw;
}

void PokerGame::deal()
{
    // Once a player is nearly broke the table only takes the minimum bet, for
    // the rest of the run.
    if (total_ < 20) {
        betMaximum_ = kMinimumBet;
        bet_ = kMinimumBet;
    }
    hand_ = deck_.deal(generator_);
    marks_.fill(HoldMark::Draw);
    phase_ = Phase::Dealt;
}

PokerGame::DrawResult PokerGame::draw()
{
    std::array<bool, 5> held{};
    for (std::size_t i = 0; i < held.size(); ++i)
        held[i] = marks_[i] != HoldMark::Draw;
    deck_.draw(hand_, held);
    phase_ = Phase::Settled;

    DrawResult result;
    result.evaluation = Evaluate(hand_);
    result.settlement = Settle(result.evaluation, bet_, total_, payouts_, counters_);
    total_ = result.settlement.total;
    return result;
}

void PokerGame::markAllOver() { marks_.fill(HoldMark::Over); }

int winPercentage(const GameCounters &counters)
{
    const std::int64_t w = counters.wins;
    const std::int64_t l = counters.losses;
    if (w > 0 && l == 0)
        return 100;
    // Mend 13, the exact whole percentage: in binary floating point 29 wins
    // of 50 hands come out as 57.999... and would be shown as 57.
    if (w > 0 && l > 0)
        return int(w * 100 / (w + l));
    return 0;
}

} // namespace brisvale
