#include "odds/HoldOdds.h"

#include "game/HandEvaluation.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <numeric>

// How the counting works. For a set X of cards let A(X) be the histogram, by
// pay class, of all five-card hands that contain X. Keeping H out of a dealt
// hand D ends in exactly the hands that meet D in H, and A(X) sums those counts
// over every H between X and D, so the count for H is the alternating sum of A
// over the sets between H and D: a Moebius transform over five bits. The set-up
// stores A for every set of at most four cards (a five-card set is the dealt
// hand itself); a pay table then only weighs those histograms and runs the
// 32-entry transform once for each deal that differs by more than suit names.

namespace brisvale {

namespace {

constexpr int kCards = 52;
// Draws after keeping k cards: C(47, 5 - k).
constexpr std::array<std::int64_t, 6> kDrawsAfterKeeping{1533939, 178365, 16215, 1081, 47, 1};
// Least common multiple of the draw counts above, and what brings each to it.
constexpr std::int64_t kCommonDraws = HoldAnalysis::kScale;
constexpr std::array<std::int64_t, 6> kToCommon{5, 43, 473, 7095, 163185, 7669695};
static_assert([] {
    for (int k = 0; k <= 5; ++k) {
        if (kDrawsAfterKeeping[k] * kToCommon[k] != kCommonDraws)
            return false;
    }
    return true;
}());

struct Binomials {
    std::array<std::array<std::uint32_t, 6>, kCards + 1> c{};
    constexpr Binomials()
    {
        for (int n = 0; n <= kCards; ++n) {
            c[n][0] = 1;
            for (int k = 1; k <= 5 && k <= n; ++k)
                c[n][k] = c[n - 1][k - 1] + (k <= n - 1 ? c[n - 1][k] : 0);
        }
    }
};
constexpr Binomials kBinomials;

// Rank of an ascending set of card indices among the sets of its size
// (colexicographic order), which is where its histogram is stored.
template <std::size_t K>
std::uint32_t subsetIndex(const std::array<int, K> &cards)
{
    std::uint32_t index = 0;
    for (std::size_t j = 0; j < K; ++j)
        index += kBinomials.c[cards[j]][j + 1];
    return index;
}

// Visits every K-subset of 0..n-1 in ascending order, in index order.
template <std::size_t K, typename Visit>
void forEachSubsetOf(int n, Visit visit)
{
    std::array<int, K> c{};
    std::iota(c.begin(), c.end(), 0);
    for (;;) {
        visit(c);
        std::size_t i = 0;
        while (i < K && c[i] + 1 == (i + 1 < K ? c[i + 1] : n))
            ++i;
        if (i == K)
            return;
        ++c[i];
        for (std::size_t j = 0; j < i; ++j)
            c[j] = int(j);
    }
}

// Visits every K-subset of the deck as ascending card indices, in index order.
template <std::size_t K, typename Visit>
void forEachSubset(Visit visit)
{
    forEachSubsetOf<K>(kCards, visit);
}

int payClassOf(const Hand &hand)
{
    const Evaluation e = Evaluate(hand);
    if (e.rank == OnePair)
        return e.jacksOrBetter() ? 1 : 0;
    return e.rank;
}

// Cards are counted by an index of their own, rank first, so that the cards
// of an ascending set of indices come in ascending rank.
constexpr int rankOf(int index) { return index >> 2; } // 0 ace .. 12 king
constexpr int suitOf(int index) { return index & 3; }
constexpr int indexOf(cdCardDeck value) { return (CardRank(value) - 1) * 4 + CardSuit(value) - 1; }
constexpr cdCardDeck valueOf(int rank, int suit) { return cdCardDeck(suit * 13 + rank + 1); }

// A five-card hand's pay class depends only on its ranks and on whether its
// suits are all one, so the game's evaluation is asked once for each such
// pattern. The ranks r0 <= .. <= r4 (0..12) of a hand stand at the sum of
// C(ri + i, i + 1), their place among the five-sets of 0..16.
struct PayClasses {
    std::vector<std::uint8_t> plain, suited;
    PayClasses() : plain(kBinomials.c[17][5]), suited(kBinomials.c[17][5])
    {
        forEachSubsetOf<5>(17, [&](const std::array<int, 5> &set) {
            std::array<int, 5> r{};
            for (int i = 0; i < 5; ++i)
                r[i] = set[i] - i;
            if (r[0] == r[4])
                return; // five of one rank: no such hand
            std::uint32_t at = 0;
            Hand hand{};
            for (int i = 0; i < 5; ++i) {
                at += kBinomials.c[set[i]][i + 1];
                // Consecutive cards differ in suit, so equal ranks never clash.
                hand[i] = valueOf(r[i], i % 4);
            }
            plain[at] = std::uint8_t(payClassOf(hand));
            if (std::adjacent_find(r.begin(), r.end()) == r.end()) {
                for (cdCardDeck &card : hand)
                    card = valueOf(CardRank(card) - 1, 0);
                suited[at] = std::uint8_t(payClassOf(hand));
            }
        });
    }
};

// Builds the histograms of the K-subsets from those of the (K+1)-subsets:
// each hand holding a K-subset holds 5 - K of the larger ones around it.
template <std::size_t K, typename Small, typename Large>
void deriveSmaller(const Large &larger, Small &smaller)
{
    std::vector<std::array<std::uint32_t, kPayClassCount>> sums(kBinomials.c[kCards][K]);
    forEachSubset<K + 1>([&](const std::array<int, K + 1> &cards) {
        const auto &from = larger[subsetIndex(cards)];
        for (std::size_t drop = 0; drop <= K; ++drop) {
            std::array<int, K> part{};
            for (std::size_t j = 0, o = 0; j <= K; ++j) {
                if (j != drop)
                    part[o++] = cards[j];
            }
            auto &to = sums[subsetIndex(part)];
            for (int p = 0; p < kPayClassCount; ++p)
                to[p] += from[p];
        }
    });
    smaller.resize(sums.size());
    for (std::size_t i = 0; i < sums.size(); ++i) {
        for (int p = 0; p < kPayClassCount; ++p)
            smaller[i][p] = typename Small::value_type::value_type(sums[i][p] / (5 - K));
    }
}

using Returns = std::array<std::int64_t, kPayClassCount>;

// What one unit bet brings back in each pay class.
Returns returnsOf(const PayoutTable &payouts)
{
    Returns r{};
    for (int p = 1; p < kPayClassCount; ++p)
        r[p] = std::int64_t(payouts[p]) + 1;
    return r;
}

template <typename Count>
void weigh(const std::vector<std::array<Count, kPayClassCount>> &histograms, const Returns &returns,
           std::vector<std::int64_t> &out)
{
    out.resize(histograms.size());
    for (std::size_t i = 0; i < histograms.size(); ++i) {
        std::int64_t sum = 0;
        for (int p = 1; p < kPayClassCount; ++p)
            sum += std::int64_t(histograms[i][p]) * returns[p];
        out[i] = sum;
    }
}

// Index of each of the 32 subsets of an ascending five-card deal among the
// subsets of its size; bit i of the mask stands for cards[i].
std::array<std::uint32_t, kHoldCount> subsetIndices(const std::array<int, 5> &cards)
{
    std::array<std::uint32_t, kHoldCount> index{};
    for (unsigned m = 1; m < kHoldCount; ++m) {
        const int top = std::bit_width(m) - 1;
        index[m] = index[m & ~(1u << top)] + kBinomials.c[cards[top]][std::popcount(m)];
    }
    return index;
}

// Turns "final hands containing X" into "final hands meeting the deal in exactly H".
template <typename T>
void keepExactly(std::array<T, kHoldCount> &f)
{
    for (unsigned bit = 1; bit < kHoldCount; bit <<= 1) {
        for (unsigned m = 0; m < kHoldCount; ++m) {
            if (!(m & bit))
                f[m] -= f[m | bit];
        }
    }
}

Fraction reduced(__int128 numerator, __int128 denominator)
{
    __int128 a = numerator < 0 ? -numerator : numerator, b = denominator;
    while (b != 0) {
        const __int128 t = a % b;
        a = b;
        b = t;
    }
    const __int128 g = a == 0 ? denominator : a;
    return {std::int64_t(numerator / g), std::int64_t(denominator / g)};
}

} // namespace

std::string Fraction::decimal(int places) const
{
    __int128 scale = 1;
    for (int i = 0; i < places; ++i)
        scale *= 10;
    const bool negative = numerator < 0;
    const __int128 magnitude = negative ? -__int128(numerator) : __int128(numerator);
    const __int128 units = (magnitude * scale * 2 + denominator) / (__int128(denominator) * 2);
    std::string digits = std::to_string(static_cast<long long>(units / scale));
    if (places > 0) {
        std::string fraction = std::to_string(static_cast<long long>(units % scale));
        digits += '.' + std::string(std::size_t(places) - fraction.size(), '0') + fraction;
    }
    return (negative && units != 0 ? "-" : "") + digits;
}

std::string Fraction::text() const { return std::to_string(numerator) + '/' + std::to_string(denominator); }

Fraction Fraction::times(std::int64_t factor) const { return reduced(__int128(numerator) * factor, denominator); }

Fraction Fraction::over(std::int64_t divisor) const { return reduced(numerator, __int128(denominator) * divisor); }

Fraction operator+(const Fraction &a, const Fraction &b)
{
    const std::int64_t g = std::gcd(a.denominator, b.denominator);
    const __int128 common = __int128(a.denominator / g) * b.denominator;
    return reduced(__int128(a.numerator) * (b.denominator / g) + __int128(b.numerator) * (a.denominator / g), common);
}

Fraction operator-(const Fraction &a, const Fraction &b) { return a + Fraction{-b.numerator, b.denominator}; }

HoldMask HoldMaskOf(const std::array<bool, 5> &held)
{
    HoldMask mask = 0;
    for (int i = 0; i < 5; ++i) {
        if (held[i])
            mask |= 1u << i;
    }
    return mask;
}

std::array<bool, 5> HeldSlots(HoldMask mask)
{
    std::array<bool, 5> held{};
    for (int i = 0; i < 5; ++i)
        held[i] = (mask >> i) & 1u;
    return held;
}

Fraction HoldAnalysis::value(HoldMask mask) const { return reduced(scaled_.at(mask), kCommonDraws); }

Fraction HoldAnalysis::best() const { return value(bestHold()); }

Fraction HoldAnalysis::cost(HoldMask mask) const
{
    return reduced(scaled_.at(bestHold()) - scaled_.at(mask), kCommonDraws);
}

std::vector<HoldMask> HoldAnalysis::bestHolds() const
{
    std::vector<HoldMask> holds;
    for (HoldMask m = 0; m < kHoldCount; ++m) {
        if (isBest(m))
            holds.push_back(m);
    }
    return holds;
}

HoldMask HoldAnalysis::bestHold() const { return HoldMask(std::countr_zero(bestSet_)); }

std::array<HoldMask, kHoldCount> HoldAnalysis::ranked() const
{
    std::array<HoldMask, kHoldCount> order{};
    std::iota(order.begin(), order.end(), HoldMask(0));
    std::stable_sort(order.begin(), order.end(), [this](HoldMask a, HoldMask b) { return scaled_[a] > scaled_[b]; });
    return order;
}

bool HoldOdds::accepts(const PayoutTable &payouts)
{
    for (int p = 1; p < kPayClassCount; ++p) {
        if (payouts[p] < 0 || payouts[p] > kMaxMultiplier)
            return false;
    }
    return true;
}

HoldOdds::HoldOdds()
{
    const PayClasses payClasses;
    const auto &c = kBinomials.c;
    fours_.assign(c[kCards][4], {});
    deals_.reserve(kDealKinds);
    // Every five-card hand c0 < c1 < c2 < c3 < c4 once. Each term of the
    // indices below depends on one card only, so the sums are kept per loop.
    // The hand less card j sits at sum over i < j of C(ci, i + 1) plus sum
    // over i > j of C(ci, i) among the sets of four.
    for (int c4 = 4; c4 < kCards; ++c4) {
        const std::uint32_t after4 = c[c4][4];
        const std::uint32_t ranks4 = c[rankOf(c4) + 4][5];
        for (int c3 = 3; c3 < c4; ++c3) {
            const std::uint32_t after3 = after4 + c[c3][3];
            const std::uint32_t ranks3 = ranks4 + c[rankOf(c3) + 3][4];
            const bool suited3 = suitOf(c3) == suitOf(c4);
            for (int c2 = 2; c2 < c3; ++c2) {
                const std::uint32_t after2 = after3 + c[c2][2];
                const std::uint32_t ranks2 = ranks3 + c[rankOf(c2) + 2][3];
                const bool suited2 = suited3 && suitOf(c2) == suitOf(c4);
                for (int c1 = 1; c1 < c2; ++c1) {
                    const std::uint32_t after1 = after2 + c[c1][1];
                    const std::uint32_t ranks1 = ranks2 + c[rankOf(c1) + 1][2];
                    const bool suited1 = suited2 && suitOf(c1) == suitOf(c4);
                    const std::uint32_t before2 = c[c1][2];
                    const std::uint32_t before3 = before2 + c[c2][3];
                    for (int c0 = 0; c0 < c1; ++c0) {
                        const bool suited = suited1 && suitOf(c0) == suitOf(c4);
                        const std::uint32_t ranks0 = ranks1 + c[rankOf(c0)][1];
                        const int payClass = (suited ? payClasses.suited : payClasses.plain)[ranks0];
                        const std::uint32_t before1 = c[c0][1];
                        ++fours_[after1][payClass];
                        ++fours_[before1 + after2][payClass];
                        ++fours_[before1 + before2 + after3][payClass];
                        ++fours_[before1 + before3 + after4][payClass];
                        ++fours_[before1 + before3 + c[c3][4]][payClass];
                        addDeal({c0, c1, c2, c3, c4}, payClass);
                    }
                }
            }
        }
    }
    deriveSmaller<3>(fours_, threes_);
    deriveSmaller<2>(threes_, twos_);
    deriveSmaller<1>(twos_, ones_);
    deriveSmaller<0>(ones_, none_);
}

void HoldOdds::addDeal(const std::array<int, 5> &cards, int payClass)
{
    // Renaming suits changes no count, so one deal stands for all whose
    // suits hold the same ranks: the one whose suits' rank sets descend.
    std::array<unsigned, 4> suitRanks{};
    for (int card : cards)
        suitRanks[suitOf(card)] |= 1u << rankOf(card);
    if (!std::is_sorted(suitRanks.begin(), suitRanks.end(), std::greater<>()))
        return;
    int weight = 24; // 4! over the orders of equal rank sets
    for (int i = 0; i < 4;) {
        int j = i;
        while (j < 4 && suitRanks[j] == suitRanks[i])
            ++j;
        for (int f = 2; f <= j - i; ++f)
            weight /= f;
        i = j;
    }
    Deal deal{};
    for (int j = 0; j < 5; ++j)
        deal.cards[j] = std::uint8_t(cards[j]);
    deal.weight = std::uint8_t(weight);
    deal.payClass = std::uint8_t(payClass);
    deals_.push_back(deal);
}

namespace {
std::atomic<const HoldOdds *> sharedReady{nullptr};
}

const HoldOdds &HoldOdds::shared()
{
    static const HoldOdds odds;
    sharedReady.store(&odds, std::memory_order_release);
    return odds;
}

const HoldOdds *HoldOdds::sharedIfReady() { return sharedReady.load(std::memory_order_acquire); }

std::optional<TableReturn> HoldOdds::tableReturn(const PayoutTable &payouts, std::stop_token stop) const
{
    if (!accepts(payouts))
        return std::nullopt;
    const Returns returns = returnsOf(payouts);
    std::array<std::vector<std::int64_t>, 5> weighed;
    weigh(none_, returns, weighed[0]);
    weigh(ones_, returns, weighed[1]);
    weigh(twos_, returns, weighed[2]);
    weigh(threes_, returns, weighed[3]);
    weigh(fours_, returns, weighed[4]);
    if (stop.stop_requested())
        return std::nullopt;

    __int128 total = 0;
    std::uint32_t tied = 0;
    std::size_t sinceCheck = 0;
    for (const Deal &deal : deals_) {
        if (++sinceCheck == 4096) {
            sinceCheck = 0;
            if (stop.stop_requested())
                return std::nullopt;
        }
        const std::array<int, 5> cards{deal.cards[0], deal.cards[1], deal.cards[2], deal.cards[3], deal.cards[4]};
        const auto index = subsetIndices(cards);
        std::array<std::int64_t, kHoldCount> v{};
        for (unsigned m = 0; m < kHoldCount - 1; ++m)
            v[m] = weighed[std::popcount(m)][index[m]];
        v[kHoldCount - 1] = returns[deal.payClass];
        keepExactly(v);

        std::int64_t best = INT64_MIN;
        int atBest = 0;
        for (unsigned m = 0; m < kHoldCount; ++m) {
            const std::int64_t s = v[m] * kToCommon[std::popcount(m)];
            if (s > best) {
                best = s;
                atBest = 1;
            } else if (s == best) {
                ++atBest;
            }
        }
        total += __int128(best) * deal.weight;
        if (atBest > 1)
            tied += deal.weight;
    }
    return TableReturn{reduced(total, __int128(kCommonDraws) * kAllDeals), tied};
}

std::optional<HoldAnalysis> HoldOdds::analyse(const Hand &dealt, const PayoutTable &payouts) const
{
    if (!accepts(payouts))
        return std::nullopt;
    // Sort the cards, remembering which slot each came from.
    std::array<int, 5> slotOf{0, 1, 2, 3, 4};
    for (cdCardDeck c : dealt) {
        if (c < 1 || c > 52)
            return std::nullopt;
    }
    std::sort(slotOf.begin(), slotOf.end(), [&](int a, int b) { return indexOf(dealt[a]) < indexOf(dealt[b]); });
    std::array<int, 5> cards{};
    for (int j = 0; j < 5; ++j)
        cards[j] = indexOf(dealt[slotOf[j]]);
    if (std::adjacent_find(cards.begin(), cards.end()) != cards.end())
        return std::nullopt;

    const auto index = subsetIndices(cards);
    std::array<std::array<std::int64_t, kPayClassCount>, kHoldCount> h{};
    for (unsigned m = 0; m < kHoldCount - 1; ++m) {
        const auto copy = [&](const auto &histograms) {
            for (int p = 0; p < kPayClassCount; ++p)
                h[m][p] = histograms[index[m]][p];
        };
        switch (std::popcount(m)) {
        case 0: copy(none_); break;
        case 1: copy(ones_); break;
        case 2: copy(twos_); break;
        case 3: copy(threes_); break;
        default: copy(fours_); break;
        }
    }
    h[kHoldCount - 1][payClassOf(dealt)] = 1;
    for (int p = 0; p < kPayClassCount; ++p) {
        std::array<std::int64_t, kHoldCount> column{};
        for (unsigned m = 0; m < kHoldCount; ++m)
            column[m] = h[m][p];
        keepExactly(column);
        for (unsigned m = 0; m < kHoldCount; ++m)
            h[m][p] = column[m];
    }

    const Returns returns = returnsOf(payouts);
    HoldAnalysis analysis;
    std::int64_t best = INT64_MIN;
    for (unsigned m = 0; m < kHoldCount; ++m) {
        HoldMask heldSlots = 0;
        for (int j = 0; j < 5; ++j) {
            if (m & (1u << j))
                heldSlots |= 1u << slotOf[j];
        }
        const int kept = std::popcount(m);
        HoldAnalysis::Outcome &out = analysis.outcomes_[heldSlots];
        std::int64_t sum = 0;
        for (int p = 0; p < kPayClassCount; ++p) {
            out.finals[p] = std::uint32_t(h[m][p]);
            sum += h[m][p] * returns[p];
        }
        out.draws = std::uint32_t(kDrawsAfterKeeping[kept]);
        const std::int64_t s = sum * kToCommon[kept];
        analysis.scaled_[heldSlots] = s;
        best = std::max(best, s);
    }
    analysis.bestSet_ = 0;
    for (HoldMask m = 0; m < kHoldCount; ++m) {
        if (analysis.scaled_[m] == best)
            analysis.bestSet_ |= 1u << m;
    }
    return analysis;
}

bool HoldOdds::forEachDealKind(const PayoutTable &payouts, const DealVisit &visit, std::stop_token stop) const
{
    if (!accepts(payouts))
        return false;
    std::size_t sinceCheck = 0;
    for (const Deal &deal : deals_) {
        if (++sinceCheck == 1024) {
            sinceCheck = 0;
            if (stop.stop_requested())
                return false;
        }
        Hand hand{};
        for (int j = 0; j < 5; ++j)
            hand[j] = valueOf(rankOf(deal.cards[j]), suitOf(deal.cards[j]));
        // The cards come in index order, so the analysis keeps the deal's order.
        const auto holds = analyse(hand, payouts);
        visit(hand, deal.weight, *holds);
    }
    return true;
}

} // namespace brisvale
