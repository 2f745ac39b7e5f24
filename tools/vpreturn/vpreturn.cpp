// Prints the exact long-run return of a jacks-or-better pay table under best
// play, as a reduced fraction and as a percentage with six decimals:
//   vpreturn H1 H2 H3 H4 H5 H6 H7 H8 H9
// or what each of the 32 holds of one dealt hand returns, best first:
//   vpreturn --hand "TC TD JS QH KD" H1 H2 H3 H4 H5 H6 H7 H8 H9
// or a strategy chart for the table, the chart's line for one dealt hand,
// or how often each final hand comes:
//   vpreturn --strategy [--hand "TC TD JS QH KD"] H1 ... H9
//   vpreturn --stats H1 ... H9
// Hk are the table's multipliers (H1 a pair of jacks or better, Hk the hand
// rank k); a win with multiplier m returns m + 1 times the bet.

#include "ProgramHelp.h"
#include "app/CommandLine.h"
#include "game/CardCodes.h"
#include "odds/HoldOdds.h"
#include "odds/HoldTable.h"
#include "odds/PayTableStats.h"
#include "odds/StrategyChart.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace brisvale;

namespace {

static_assert(HoldOdds::kMaxMultiplier == 99999, "vpreturn.help names the largest multiplier");

bool parseMultiplier(const char *text, std::int32_t &out)
{
    errno = 0;
    char *end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end || errno == ERANGE || v < 0 || v > HoldOdds::kMaxMultiplier)
        return false;
    out = std::int32_t(v);
    return true;
}

int usageError(const char *what)
{
    std::fprintf(stderr, "vpreturn: %s\n", what);
    std::fprintf(stderr, "Try 'vpreturn --help' for more information.\n");
    return 2;
}

// Reads H1..H9 from the nine arguments; false after saying what is wrong.
bool parsePayouts(char **args, PayoutTable &payouts)
{
    for (int k = 1; k <= 9; ++k) {
        if (!parseMultiplier(args[k - 1], payouts[k])) {
            std::fprintf(stderr, "vpreturn: H%d must be a whole number from 0 to %d, not \"%s\"\n", k,
                         int(HoldOdds::kMaxMultiplier), args[k - 1]);
            return false;
        }
    }
    return true;
}

int flushed()
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "vpreturn: cannot write to standard output\n");
        return 1;
    }
    return 0;
}

std::string percent(const Fraction &value) { return value.times(100).decimal(6) + '%'; }

int printHolds(const char *handText, char **payoutArgs, bool strategy)
{
    const HandReading reading = ReadHand(QString::fromLocal8Bit(handText));
    if (!reading.hand)
        return usageError(reading.error.toLocal8Bit().constData());
    PayoutTable payouts;
    if (!parsePayouts(payoutArgs, payouts))
        return 2;
    const HoldOdds odds;
    const auto analysis = odds.analyse(*reading.hand, payouts);
    if (!analysis) {
        std::fprintf(stderr, "vpreturn: the hand could not be valued\n");
        return 1;
    }
    const HoldTable table(*reading.hand, *analysis);
    if (strategy) {
        const auto chart = StrategyChart::generate(odds, payouts);
        if (!chart) {
            std::fprintf(stderr, "vpreturn: the table could not be valued\n");
            return 1;
        }
        const StrategyChart::Choice choice = chart->choose(*reading.hand, *analysis);
        std::printf("%d\t%s\t%s\n", choice.line, chart->lineText(choice.line).toUtf8().constData(),
                    table.cardsText(choice.hold).toLatin1().constData());
        return flushed();
    }
    for (const HoldTable::Row &row : table.rows()) {
        std::printf("%s\t%s\t%s\n", table.cardsText(row.mask).toLatin1().constData(), row.value.text().c_str(),
                    row.value.decimal(6).c_str());
    }
    return flushed();
}

int printStrategy(const PayoutTable &payouts)
{
    const auto chart = StrategyChart::generate(HoldOdds(), payouts);
    if (!chart) {
        std::fprintf(stderr, "vpreturn: the table could not be valued\n");
        return 1;
    }
    for (int line = 1; line <= chart->lineCount(); ++line)
        std::printf("%d\t%s\n", line, chart->lineText(line).toUtf8().constData());
    std::printf("Strategy return\t%s\t%s\tBest play\t%s\t%s\n", chart->chartReturn().text().c_str(),
                percent(chart->chartReturn()).c_str(), chart->bestReturn().text().c_str(),
                percent(chart->bestReturn()).c_str());
    return flushed();
}

int printStats(const PayoutTable &payouts)
{
    const auto stats = PayTableStats::count(HoldOdds(), payouts);
    if (!stats) {
        std::fprintf(stderr, "vpreturn: the table could not be valued\n");
        return 1;
    }
    // The paying hands from the royal flush down, then every losing hand.
    for (int i = 0; i < kPayClassCount; ++i) {
        const int p = kPayClassCount - 1 - i;
        const Fraction &chance = stats->probability[std::size_t(p)];
        std::printf("%s\t%s\t%s\n", PayClassName(p), chance.text().c_str(), chance.decimal(10).c_str());
    }
    std::printf("Return\t%s\t%s\n", stats->value.text().c_str(), percent(stats->value).c_str());
    std::printf("Variance\t%.6f\n", stats->variance);
    std::printf("Hit frequency\t%s\n", stats->hitFrequency.decimal(6).c_str());
    return flushed();
}

} // namespace

int main(int argc, char **argv)
{
    if (const auto status = cli::answerStandardOptions(argc, argv, program::kHelp, program::kVersion))
        return *status;
    // "--" ends the options, as for any command; what follows are the operands.
    std::vector<char *> operands;
    bool optionsEnded = false;
    const char *hand = nullptr;
    bool strategy = false, stats = false;
    for (int i = 1; i < argc; ++i) {
        const bool option = !optionsEnded && operands.empty();
        if (option && std::strcmp(argv[i], "--") == 0) {
            optionsEnded = true;
        } else if (option && !hand && std::strcmp(argv[i], "--hand") == 0) {
            if (i + 1 == argc)
                return usageError("--hand takes the hand as one argument and nine multipliers H1..H9");
            hand = argv[++i];
        } else if (option && std::strcmp(argv[i], "--strategy") == 0) {
            strategy = true;
        } else if (option && std::strcmp(argv[i], "--stats") == 0) {
            stats = true;
        } else {
            operands.push_back(argv[i]);
        }
    }
    if (stats && (strategy || hand))
        return usageError("--stats takes only the nine multipliers H1..H9");
    if (operands.size() != 9) {
        if (hand)
            return usageError("--hand takes the hand as one argument and nine multipliers H1..H9");
        std::fprintf(stderr, "vpreturn: expected nine multipliers H1..H9, got %d\n", int(operands.size()));
        std::fprintf(stderr, "Try 'vpreturn --help' for more information.\n");
        return 2;
    }
    if (hand)
        return printHolds(hand, operands.data(), strategy);
    PayoutTable payouts;
    if (!parsePayouts(operands.data(), payouts))
        return 2;
    if (strategy)
        return printStrategy(payouts);
    if (stats)
        return printStats(payouts);
    const auto result = HoldOdds().tableReturn(payouts);
    if (!result) {
        std::fprintf(stderr, "vpreturn: the table could not be valued\n");
        return 1;
    }
    std::printf("%s = %s%%\n", result->value.text().c_str(), result->value.times(100).decimal(6).c_str());
    return 0;
}
