// Prints the exact long-run return of a jacks-or-better pay table under best
// play, as a reduced fraction and as a percentage with six decimals:
//   vpreturn H1 H2 H3 H4 H5 H6 H7 H8 H9
// Hk are the table's multipliers (H1 a pair of jacks or better, Hk the hand
// rank k); a win with multiplier m returns m + 1 times the bet.

#include "game/HoldOdds.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace brisvale;

namespace {

void printUsage(FILE *to)
{
    std::fprintf(to,
                 "usage: vpreturn H1 H2 H3 H4 H5 H6 H7 H8 H9\n"
                 "\n"
                 "Prints the exact return of a jacks-or-better pay table under best play, over\n"
                 "all 2,598,960 deals and all 32 holds of each, as a fraction and a percentage.\n"
                 "H1 is the multiplier of a pair of jacks or better, H2..H9 those of two pair,\n"
                 "three of a kind, straight, flush, full house, four of a kind, straight flush\n"
                 "and royal flush. A win with multiplier m returns m + 1 times the bet.\n"
                 "Multipliers are whole numbers from 0 to %d.\n"
                 "\n"
                 "  --help     show this text\n"
                 "  --version  show the version\n"
                 "\n"
                 "example: vpreturn 0 1 2 3 5 8 24 49 799\n",
                 int(HoldOdds::kMaxMultiplier));
}

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
    const __int128 millionths =
        (__int128(f.numerator) * 200000000 + f.denominator) / (__int128(f.denominator) * 2);
    std::printf("%lld.%06lld%%\n", static_cast<long long>(millionths / 1000000),
                static_cast<long long>(millionths % 1000000));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        printUsage(stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vpreturn (Brisvale) %s\n", BRISVALE_VERSION);
        return 0;
    }
    if (argc != 10) {
        std::fprintf(stderr, "vpreturn: expected nine multipliers H1..H9, got %d\n", argc - 1);
        printUsage(stderr);
        return 2;
    }
    PayoutTable payouts;
    for (int k = 1; k <= 9; ++k) {
        if (!parseMultiplier(argv[k], payouts[k])) {
            std::fprintf(stderr, "vpreturn: H%d must be a whole number from 0 to %d, not \"%s\"\n", k,
                         int(HoldOdds::kMaxMultiplier), argv[k]);
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
