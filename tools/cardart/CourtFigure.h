#pragma once

class QPainter;

namespace brisvale::cardart {

// The upper half of a court card (rank 11 jack, 12 queen, 13 king) inside its
// frame, in card units; the card is completed by turning this half round.
void paintCourtHalf(QPainter &p, int rank, int suit);

// The joker's jester (its index is drawn with the card's other indices).
void paintJoker(QPainter &p);

} // namespace brisvale::cardart
