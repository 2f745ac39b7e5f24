#pragma once

#include <QPainterPath>

namespace brisvale::cardart {

// The outline of a suit symbol (1 spades, 2 hearts, 3 clubs, 4 diamonds),
// centred on the origin, one unit wide and about as high, point up.
QPainterPath pipPath(int suit);

// Height of the suit symbol for a width of one.
double pipAspect(int suit);

} // namespace brisvale::cardart
