#pragma once

#include "game/Deck.h"
#include "game/Settlement.h"

#include <array>
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace brisvale {

// An exact, reduced ratio of two integers (denominator > 0).
struct Fraction {
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;

    double value() const { return double(numerator) / double(denominator); }
    // Rounded half away from zero to this many decimal places, in integer
    // arithmetic so that the last digit is never a floating-point accident.
    std::string decimal(int places) const;
    // "n/d"
    std::string text() const;
    Fraction times(std::int64_t factor) const;
    Fraction over(std::int64_t divisor) const; // divisor > 0
    friend Fraction operator+(const Fraction &a, const Fraction &b);
    friend Fraction operator-(const Fraction &a, const Fraction &b);
    friend bool operator==(const Fraction &, const Fraction &) = default;
};

// What a final hand is paid by: 0 a loss (no pair or a pair below jacks),
// 1 a pair of jacks or better (H1), k = 2..9 the hand rank k (Hk).
inline constexpr int kPayClassCount = 10;

// Bit i of a hold mask keeps the card in slot i + 1.
using HoldMask = unsigned;
inline constexpr int kHoldCount = 32;

HoldMask HoldMaskOf(const std::array<bool, 5> &held);
std::array<bool, 5> HeldSlots(HoldMask mask);

// Every hold of one dealt hand, valued under one pay table. A win paid with
// multiplier m returns m + 1 times the bet (the stake comes back), a loss 0;
// values are averages over every possible draw, per unit bet.
class HoldAnalysis {
public:
    // How many of the possible draws end in each pay class, and of how many.
    struct Outcome {
        std::array<std::uint32_t, kPayClassCount> finals{};
        std::uint32_t draws = 0;
    };

    Fraction value(HoldMask mask) const;
    Fraction best() const;
    // What keeping this hold gives away against a best one; zero for every best hold.
    Fraction cost(HoldMask mask) const;
    bool isBest(HoldMask mask) const { return mask < kHoldCount && ((bestSet_ >> mask) & 1u); }
    // All best holds, lowest mask first; several when the hand has equally good choices.
    std::vector<HoldMask> bestHolds() const;
    // The best hold a trainer proposes: the first of bestHolds().
    HoldMask bestHold() const;
    const Outcome &outcome(HoldMask mask) const { return outcomes_.at(mask); }
    // Exact: equal holds compare equal.
    std::strong_ordering compare(HoldMask a, HoldMask b) const { return scaled_.at(a) <=> scaled_.at(b); }
    // All 32 holds, best first; equal holds in ascending mask order, so the
    // first is the hold a trainer proposes.
    std::array<HoldMask, kHoldCount> ranked() const;
    // A hold's value times kScale: exact, and over one denominator for every
    // hold of every deal, so that sums over many deals stay integers.
    static constexpr std::int64_t kScale = 7669695;
    std::int64_t scaledValue(HoldMask mask) const { return scaled_.at(mask); }

private:
    friend class HoldOdds;
    std::array<Outcome, kHoldCount> outcomes_{};
    // Each hold's value over one denominator common to all holds, so they compare as integers.
    std::array<std::int64_t, kHoldCount> scaled_{};
    std::uint32_t bestSet_ = 0xFFFFFFFFu; // all holds are worth nothing until valued
};

// The long-run figures of a pay table under best play.
struct TableReturn {
    // Return per unit bet over all 2,598,960 deals, each played with a best hold.
    Fraction value;
    // Deals with more than one best hold.
    std::uint32_t dealsWithSeveralBestHolds = 0;
};

// Exact draw odds of jacks or better. The set-up counts, once, how every
// five-card hand ends for every set of cards it contains; after that a pay
// table's return or a hand's holds are a matter of milliseconds. A constructed
// object is never modified, so any number of threads may ask it at once.
class HoldOdds {
public:
    // Multipliers must lie in 0..kMaxMultiplier (the payouts dialog allows 0..999).
    static constexpr std::int32_t kMaxMultiplier = 99999;
    static bool accepts(const PayoutTable &payouts);

    HoldOdds(); // the set-up: a fraction of a second of counting, some 4 MB kept
    // One process-wide instance, set up on first use; a second thread asking
    // meanwhile waits for it.
    static const HoldOdds &shared();
    // The shared instance once it is set up, else null (never waits).
    static const HoldOdds *sharedIfReady();

    // Nothing when a multiplier is out of range or the stop token asks to stop.
    std::optional<TableReturn> tableReturn(const PayoutTable &payouts, std::stop_token stop = {}) const;
    // Nothing when the hand is not five different faces (1..52) or a multiplier is out of range.
    std::optional<HoldAnalysis> analyse(const Hand &dealt, const PayoutTable &payouts) const;

    // Deals that differ only by the names of their suits are one kind.
    static constexpr std::size_t kDealKinds = 134459;
    static constexpr std::int64_t kAllDeals = 2598960;
    // Visits one deal of each kind, with how many deals it stands for (the
    // weights add up to kAllDeals) and its holds under the payouts. False,
    // without a visit, when a multiplier is out of range; false as well when
    // the stop token asks to stop part way.
    using DealVisit = std::function<void(const Hand &dealt, int weight, const HoldAnalysis &holds)>;
    bool forEachDealKind(const PayoutTable &payouts, const DealVisit &visit, std::stop_token stop = {}) const;

private:
    struct Deal {
        std::array<std::uint8_t, 5> cards; // card indices 0..51, ascending
        std::uint8_t weight;               // deals that differ only by suit names
        std::uint8_t payClass;             // of the dealt hand itself
    };
    void addDeal(const std::array<int, 5> &cards, int payClass);

    template <typename Count>
    using Histograms = std::vector<std::array<Count, kPayClassCount>>;

    // Per-subset histograms of the final hands containing the subset, by subset size.
    Histograms<std::uint32_t> none_, ones_;
    Histograms<std::uint16_t> twos_, threes_;
    Histograms<std::uint8_t> fours_;
    // One deal of each kind up to renaming the suits.
    std::vector<Deal> deals_;
};

} // namespace brisvale
