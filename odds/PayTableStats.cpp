#include "odds/PayTableStats.h"

#include <vector>

namespace brisvale {

const char *PayClassName(int payClass)
{
    static const char *const names[kPayClassCount] = {"Nothing",        "Jacks or Better", "2 Pair",     "3 of a Kind",
                                                      "Straight",       "Flush",           "Full House", "4 of a Kind",
                                                      "Straight Flush", "Royal Flush"};
    return payClass >= 0 && payClass < kPayClassCount ? names[payClass] : "";
}

std::optional<PayTableStats> PayTableStats::count(const HoldOdds &odds, const PayoutTable &payouts,
                                                  std::stop_token stop)
{
    // Each final hand counted over one denominator: every deal, and every
    // draw of a hold scaled to the draws of holding nothing.
    std::array<std::int64_t, kPayClassCount> finals{};
    const bool counted = odds.forEachDealKind(
        payouts,
        [&](const Hand &, int weight, const HoldAnalysis &holds) {
            const HoldAnalysis::Outcome &outcome = holds.outcome(holds.bestHold());
            const std::int64_t scale = HoldAnalysis::kScale / outcome.draws;
            for (int p = 0; p < kPayClassCount; ++p)
                finals[p] += std::int64_t(outcome.finals[p]) * scale * weight;
        },
        stop);
    if (!counted)
        return std::nullopt;
    const std::int64_t all = HoldAnalysis::kScale * HoldOdds::kAllDeals;
    PayTableStats stats;
    double mean = 0, square = 0;
    for (int p = 0; p < kPayClassCount; ++p) {
        stats.probability[p] = Fraction{finals[p], 1}.over(all);
        const std::int64_t back = p == 0 ? 0 : std::int64_t(payouts[p]) + 1;
        stats.value = stats.value + stats.probability[p].times(back);
        mean += stats.probability[p].value() * double(back);
        square += stats.probability[p].value() * double(back) * double(back);
    }
    stats.variance = square - mean * mean;
    stats.hitFrequency = Fraction{1, 1} - stats.probability[0];
    return stats;
}

std::optional<double> RiskOfRuin::chance(const PayTableStats &stats, const PayoutTable &payouts, int bankroll,
                                         int hands)
{
    if (bankroll < 1 || bankroll > kMostBets || hands < 1 || hands > kMostHands)
        return std::nullopt;
    // What a hand adds to the bankroll, in bets, and how likely it is.
    std::vector<std::pair<int, double>> steps;
    for (int p = 0; p < kPayClassCount; ++p) {
        const double chance = stats.probability[p].value();
        if (chance > 0)
            steps.emplace_back(p == 0 ? -1 : payouts[p], chance);
    }
    // ruin[b]: the chance of going broke from b bets in the hands still to
    // play. With k hands left, b > k bets can no longer be lost: only
    // bankrolls up to the hands left are kept.
    std::vector<double> ruin(std::size_t(hands) + 2, 0.0), next(ruin.size());
    ruin[0] = 1.0;
    for (int left = 1; left <= hands; ++left) {
        next[0] = 1.0;
        for (int b = 1; b <= left; ++b) {
            double sum = 0;
            for (const auto &[change, chance] : steps) {
                const int after = b + change;
                if (after <= left - 1)
                    sum += chance * ruin[std::size_t(after)];
            }
            next[std::size_t(b)] = sum;
        }
        std::swap(ruin, next);
    }
    return bankroll > hands ? 0.0 : ruin[std::size_t(bankroll)];
}

} // namespace brisvale
