#include "game/Settlement.h"

namespace brisvale {

namespace {
std::int32_t wrap(std::int64_t value) { return std::int32_t(std::uint32_t(std::uint64_t(value))); }
} // namespace

int PayoutTable::maximumFor(int rank)
{
    if (rank <= 3)
        return 5;
    if (rank <= 5)
        return 9;
    if (rank <= 7)
        return 99;
    return 999;
}

Settlement Settle(const Evaluation &evaluation, std::int32_t bet, std::int32_t total, const PayoutTable &payouts,
                  GameCounters &counters)
{
    Settlement s;
    s.resultText = HandResultText(evaluation);
    if (evaluation.rank >= 0 && evaluation.rank < kHandRankCount)
        ++counters.perRank[evaluation.rank];

    if (!evaluation.won()) {
        ++counters.losses;
        s.total = wrap(std::int64_t(total) - bet);
        s.moneyText = QStringLiteral("You Lost Total is now ") + QString::number(s.total);
        return s;
    }

    s.won = true;
    s.multiplier = evaluation.rank == OnePair ? payouts[1] : payouts[evaluation.rank];
    ++counters.wins;
    s.total = wrap(std::int64_t(total) + std::int64_t(bet) * s.multiplier);
    if (s.multiplier != 0) {
        s.moneyText = QStringLiteral("*Bonus* ") + QString::number(std::int64_t(s.multiplier) + 1)
                      + QStringLiteral("X  Paid You Win! Total is now ") + QString::number(s.total);
    } else {
        s.moneyText = QStringLiteral("You Win Total is now ") + QString::number(s.total);
    }
    return s;
}

} // namespace brisvale
