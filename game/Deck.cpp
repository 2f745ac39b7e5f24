#include "game/Deck.h"

#include "game/RandomGenerator.h"

#include <utility>

namespace brisvale {

void Deck::fill()
{
    for (int i = 0; i < 52; ++i)
        cards_[i] = i + 1;
    position_ = 0;
}

void Deck::shuffle(RandomGenerator &generator)
{
    for (int i = 0; i < 52; ++i)
        std::swap(cards_[i], cards_[generator.drawBelow(52)]);
}

Hand Deck::deal(RandomGenerator &generator)
{
    fill();
    shuffle(generator);
    Hand hand{};
    for (cdCardDeck &card : hand)
        card = takeNext();
    return hand;
}

cdCardDeck Deck::takeNext()
{
    // A hand takes at most ten cards; past the end the deck starts over rather
    // than reading outside it.
    if (position_ >= cards_.size())
        position_ = 0;
    ++position_;
    return cdCardDeck(cards_[position_ - 1]);
}

void Deck::draw(Hand &hand, const std::array<bool, 5> &held)
{
    for (std::size_t slot = 0; slot < hand.size(); ++slot) {
        if (!held[slot])
            hand[slot] = takeNext();
    }
}

} // namespace brisvale
