#pragma once

#include "game/Deck.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace brisvale {

// Cards written as two characters, a rank 2-9, T, J, Q, K or A and a suit
// C, D, H or S ("TC" the ten of clubs), read in either case: how a player
// types a hand on the command line and how the session log writes one.

// "TC"; an empty string for anything that is not a face.
QString CardCode(cdCardDeck card);
// The face a code names, or nothing.
std::optional<cdCardDeck> CardFromCode(QStringView code);
// The codes of the cards, separated by single blanks.
QString HandCodes(const Hand &hand);
// The codes of the cards a hold keeps, in dealt order, or "none".
QString HeldCodes(const Hand &hand, unsigned holdMask);
// The same cards by their spoken names ("10 of Diamonds, Jack of Spades"),
// for a screen reader, or "none".
QString HeldNames(const Hand &hand, unsigned holdMask);

// A dealt hand read from five codes, or the reason it cannot be one.
struct HandReading {
    std::optional<Hand> hand;
    QString error;
};
// Reads codes separated by blanks ("TC td JS QH KD").
HandReading ReadHand(const QString &text);

} // namespace brisvale
