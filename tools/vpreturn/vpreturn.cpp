// Prints the exact long-run return of a jacks-or-better pay table under best
// play, as a reduced fraction and as a percentage with six decimals:
//   vpreturn H1 H2 H3 H4 H5 H6 H7 H8 H9
// Hk are the table's multipliers (H1 a pair of jacks or better, Hk the hand
// rank k); a win with multiplier m returns m + 1 times the bet.

#include "ProgramHelp.h"
#include "app/CommandLine.h"
#include "game/HoldOdds.h"

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

// The percentage rounded to six decimals, in integer arithmetic so that the
// last digit is never a floating-point accident.
void printPercentage(const Fraction &f)
{
    const __int128 millionths = (__int128(f.numerator) * 200000000 + f.denominator) / (__int128(f.denominator) * 2);
    std::printf("%lld.%06lld%%\n", static_cast<long long>(millionths / 1000000),
                static_cast<long long>(millionths % 1000000));
}

} // namespace

int main(int argc, char **argv)
{
    if (const auto status = cli::answerStandardOptions(argc, argv, program::kHelp, program::kVersion))
        return *status;
    // "--" ends the options, as for any command; what follows are the multipliers.
    std::vector<const char *> multipliers;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        if (!optionsEnded && std::strcmp(argv[i], "--") == 0)
            optionsEnded = true;
        else
            multipliers.push_back(argv[i]);
    }
    if (multipliers.size() != 9) {
        std::fprintf(stderr, "vpreturn: expected nine multipliers H1..H9, got %d\n", int(multipliers.size()));
        std::fprintf(stderr, "Try 'vpreturn --help' for more information.\n");
        return 2;
    }
    PayoutTable payouts;
    for (int k = 1; k <= 9; ++k) {
        if (!parseMultiplier(multipliers[k - 1], payouts[k])) {
            std::fprintf(stderr, "vpreturn: H%d must be a whole number from 0 to %d, not \"%s\"\n", k,
                         int(HoldOdds::kMaxMultiplier), multipliers[k - 1]);
            return 2;
        }
    }
    const auto result = HoldOdds().tableReturn(payouts);
    if (!result) {
        std::fprintf(stderr, "vpreturn: the table could not be valued\n");
        return 1;
    }
    std::printf("%lld/%lld = ", static_cast<long long>(result->value.numerator),
                static_cast<long long>(result->value.denominator));
    printPercentage(result->value);
    return 0;
}
