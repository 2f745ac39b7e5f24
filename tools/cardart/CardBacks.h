#pragma once

#include <QColor>
#include <QList>

class QPainter;

namespace brisvale::cardart {

// Back designs 1..9 and the extra back 10, in card units on a blank card.
void paintBack(QPainter &p, int design);

// The sixteen colours of a back design.
QList<QRgb> backPalette(int design);

} // namespace brisvale::cardart
