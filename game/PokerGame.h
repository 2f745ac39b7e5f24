#pragma once

#include "game/Deck.h"
#include "game/HandEvaluation.h"
#include "game/Settlement.h"

#include <QString>
#include <array>
#include <cstdint>

namespace brisvale {

class RandomGenerator;

// What a hold panel reads. Only "Draw" sends its card back at the draw.
enum class HoldMark { Draw, Hold, Over };
QString holdCaption(HoldMark mark);

// The play of hands at the table, without any window: deal, holds, draw and
// settlement, the bet rules and the money. The game window shows this state.
class PokerGame {
public:
    enum class Phase { WaitingFirstDeal, Dealt, Settled };

    static constexpr std::int32_t kDefaultTotal = 1000;
    static constexpr int kMinimumBet = 5;
    static constexpr int kMaximumBet = 1000;
    static constexpr int kBetStep = 5;

    explicit PokerGame(RandomGenerator &generator);

    Phase phase() const { return phase_; }
    const Hand &hand() const { return hand_; }
    HoldMark mark(int slot) const { return marks_.at(slot); }
    const Deck &deck() const { return deck_; }

    std::int32_t total() const { return total_; }
    void setTotal(std::int32_t total) { total_ = total; }

    int bet() const { return bet_; }
    int betMaximum() const { return betMaximum_; }
    // Brings the value into the bet range (5..maximum).
    void setBet(int value);
    // What a typed bet becomes when the field loses focus: text that is not a
    // number counts as the minimum, anything else is brought into range.
    int betFromText(const QString &text) const;
    // Applies the stored bet amount at start-up.
    void restoreBet(std::int32_t storedAmount);
    // Applies a stored total at start-up (only 50 < total < 50000 is taken).
    void restoreTotal(std::int32_t storedTotal);

    PayoutTable &payouts() { return payouts_; }
    const PayoutTable &payouts() const { return payouts_; }
    GameCounters &counters() { return counters_; }
    const GameCounters &counters() const { return counters_; }

    // Hold toggle: "Draw" becomes "Hold", anything else becomes "Draw".
    void toggleHold(int slot);

    // Deals a fresh hand. Returns true when the bet was just held at 5 because
    // the total had fallen below 20.
    void deal();

    struct DrawResult {
        Evaluation evaluation;
        Settlement settlement;
    };
    // Replaces the cards not held, evaluates and settles the hand.
    DrawResult draw();
    // After the display is updated every hold panel reads "Over".
    void markAllOver();

private:
    RandomGenerator &generator_;
    Deck deck_;
    Hand hand_;
    std::array<HoldMark, 5> marks_;
    Phase phase_ = Phase::WaitingFirstDeal;
    std::int32_t total_ = kDefaultTotal;
    int bet_ = kMinimumBet;
    int betMaximum_ = kMaximumBet;
    PayoutTable payouts_;
    GameCounters counters_;
};

// Winning percentage for the gauge: truncated w / (w + l) * 100; 0 with no hands.
int winPercentage(const GameCounters &counters);

} // namespace brisvale
