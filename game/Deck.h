#pragma once

#include "controls/Cards.h"

#include <array>
#include <cstdint>

namespace brisvale {

class RandomGenerator;

using Hand = std::array<cdCardDeck, 5>;

// The one 52-card deck of the table and how many cards of it the current
// hand has taken.
class Deck {
public:
    Deck() { fill(); }

    // Ace of spades first, king of diamonds last; position back to 0.
    void fill();
    // 52 swaps, each with a partner drawn from all 52 positions.
    void shuffle(RandomGenerator &generator);
    // Refill, shuffle, and take the first five cards for slots 1..5.
    Hand deal(RandomGenerator &generator);
    cdCardDeck takeNext();
    // Replaces, left to right, every slot that is not held with the next card.
    void draw(Hand &hand, const std::array<bool, 5> &held);

    std::uint8_t position() const { return position_; }
    std::int32_t at(int index) const { return cards_.at(index); }
    void setPosition(std::uint8_t position) { position_ = position; }

private:
    std::array<std::int32_t, 52> cards_{};
    std::uint8_t position_ = 0;
};

} // namespace brisvale
