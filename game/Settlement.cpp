#include "game/Settlement.h"

#include <algorithm>
#include <limits>

namespace brisvale {

namespace {
// A total held at the ends of its range rather than wrapped round: a run of
// wins can never turn a fortune into a debt, nor losses into a fortune.
std::int32_t saturate(std::int64_t value)
{
    return std::int32_t(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}
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

std::int32_t PayoutTable::broughtIntoRange(int rank, std::int32_t stored)
{
    return std::clamp(stored, 0, maximumFor(rank));
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
        s.total = saturate(std::int64_t(total) - bet);
        s.moneyText = QStringLiteral("You Lost Total is now ") + QString::number(s.total);
        return s;
    }

    s.won = true;
    s.multiplier = evaluation.rank == OnePair ? payouts[1] : payouts[evaluation.rank];
    ++counters.wins;
    s.total = saturate(std::int64_t(total) + std::int64_t(bet) * s.multiplier);
    if (s.multiplier != 0) {
        s.moneyText = QStringLiteral("*Bonus* ") + QString::number(std::int64_t(s.multiplier) + 1)
                      + QStringLiteral("X  Paid You Win! Total is now ") + QString::number(s.total);
    } else {
        s.moneyText = QStringLiteral("You Win Total is now ") + QString::number(s.total);
    }
    return s;
}

} // namespace brisvale
