#pragma once

#include <QString>
#include <cstdint>

namespace brisvale {

// A card value: 1..52 the faces ((suit - 1) * 13 + rank), 53 the joker,
// 54..62 nine card backs, 63 the extra back shown before the first deal.
using cdCardDeck = std::uint8_t;

inline constexpr cdCardDeck kJoker = 53;
inline constexpr cdCardDeck kFirstCardBack = 54;
inline constexpr cdCardDeck kExtraCardBack = 63; // "ttanvik"
inline constexpr int kCardValueCount = 63;

// 1 spades, 2 hearts, 3 clubs, 4 diamonds; 0 for anything that is not a face.
constexpr int CardSuit(int value) { return (value >= 1 && value <= 52) ? (value - 1) / 13 + 1 : 0; }

// 1 ace .. 13 king; 0 for anything that is not a face.
constexpr int CardRank(int value)
{
    const int suit = CardSuit(value);
    return suit == 0 ? 0 : value - 13 * (suit - 1);
}

// The identifier of a card value ("cdAceofSpades", "CdJoker", "ttanvik"), which
// also names its image; any other value gives "$" and eight hex digits.
QString CardImageName(int value);

// A player-facing name ("7 of Clubs", "Joker", "Card back").
QString CardDisplayName(int value);

// The text with every card code standing alone in it ("AS", "TH") put as
// its display name ("Ace of Spades", "10 of Hearts"), for a screen reader,
// which would spell the codes out.
QString SpokenCards(const QString &text);

} // namespace brisvale
