// The trainer's exact counting: the one-off set-up, the return of a new pay
// table (the payouts dialog recomputes it on every change), the holds of
// one dealt hand (asked after every deal) and the strategy chart of a new pay
// table (wanted within two seconds of the change, in processor time of the
// whole process, every thread counted).

#include "odds/HoldOdds.h"
#include "odds/StrategyChart.h"

#include <benchmark/benchmark.h>

using namespace brisvale;

namespace {

void SetUp(benchmark::State &state)
{
    for (auto _ : state) {
        HoldOdds odds;
        benchmark::DoNotOptimize(&odds);
    }
}
BENCHMARK(SetUp)->Unit(benchmark::kMillisecond);

void NewTable(benchmark::State &state)
{
    const HoldOdds &odds = HoldOdds::shared();
    PayoutTable payouts{{0, 0, 1, 2, 3, 5, 8, 24, 49, 799}};
    for (auto _ : state) {
        // A different table every time, as while the player types.
        payouts[9] = payouts[9] == 799 ? 800 : 799;
        benchmark::DoNotOptimize(odds.tableReturn(payouts));
    }
}
BENCHMARK(NewTable)->Unit(benchmark::kMillisecond);

void BestHold(benchmark::State &state)
{
    const HoldOdds &odds = HoldOdds::shared();
    const PayoutTable payouts{{0, 0, 1, 2, 3, 5, 8, 24, 49, 799}};
    const Hand dealt{11, 10, 36, 43, 9};
    for (auto _ : state)
        benchmark::DoNotOptimize(odds.analyse(dealt, payouts));
}
BENCHMARK(BestHold)->Unit(benchmark::kMicrosecond);

void NewTableChart(benchmark::State &state)
{
    const HoldOdds &odds = HoldOdds::shared();
    PayoutTable payouts{{0, 0, 1, 2, 3, 4, 7, 24, 49, 799}};
    for (auto _ : state) {
        // A different table every time: nothing is kept from the one before.
        payouts[9] = payouts[9] == 799 ? 800 : 799;
        benchmark::DoNotOptimize(StrategyChart::generate(odds, payouts));
    }
}
BENCHMARK(NewTableChart)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
