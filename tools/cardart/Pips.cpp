#include "Pips.h"

namespace brisvale::cardart {

namespace {

QPainterPath heart()
{
    // Drawn in a 1 x 1 box from (-0.5, -0.5); the dip is at the top.
    QPainterPath p;
    p.moveTo(0.0, -0.28);
    p.cubicTo(0.10, -0.52, 0.50, -0.56, 0.50, -0.20);
    p.cubicTo(0.50, 0.08, 0.18, 0.22, 0.0, 0.50);
    p.cubicTo(-0.18, 0.22, -0.50, 0.08, -0.50, -0.20);
    p.cubicTo(-0.50, -0.56, -0.10, -0.52, 0.0, -0.28);
    p.closeSubpath();
    return p;
}

QPainterPath spade()
{
    QPainterPath p;
    p.moveTo(0.0, -0.56);
    p.cubicTo(0.16, -0.30, 0.52, -0.14, 0.52, 0.10);
    p.cubicTo(0.52, 0.36, 0.20, 0.40, 0.05, 0.22);
    p.cubicTo(0.07, 0.38, 0.14, 0.48, 0.24, 0.56);
    p.lineTo(-0.24, 0.56);
    p.cubicTo(-0.14, 0.48, -0.07, 0.38, -0.05, 0.22);
    p.cubicTo(-0.20, 0.40, -0.52, 0.36, -0.52, 0.10);
    p.cubicTo(-0.52, -0.14, -0.16, -0.30, 0.0, -0.56);
    p.closeSubpath();
    return p;
}

QPainterPath club()
{
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    const double r = 0.225;
    p.addEllipse(QPointF(0.0, -0.30), r, r);
    p.addEllipse(QPointF(-0.27, 0.07), r, r);
    p.addEllipse(QPointF(0.27, 0.07), r, r);
    // The waist that joins the three leaves.
    p.addEllipse(QPointF(0.0, 0.0), 0.13, 0.16);
    QPainterPath stem;
    stem.moveTo(-0.05, 0.0);
    stem.lineTo(0.05, 0.0);
    stem.cubicTo(0.06, 0.30, 0.13, 0.46, 0.24, 0.56);
    stem.lineTo(-0.24, 0.56);
    stem.cubicTo(-0.13, 0.46, -0.06, 0.30, -0.05, 0.0);
    stem.closeSubpath();
    p.addPath(stem);
    return p.simplified();
}

QPainterPath diamond()
{
    QPainterPath p;
    p.moveTo(0.0, -0.58);
    p.quadTo(0.22, -0.26, 0.42, 0.0);
    p.quadTo(0.22, 0.26, 0.0, 0.58);
    p.quadTo(-0.22, 0.26, -0.42, 0.0);
    p.quadTo(-0.22, -0.26, 0.0, -0.58);
    p.closeSubpath();
    return p;
}

} // namespace

QPainterPath pipPath(int suit)
{
    switch (suit) {
    case 1: return spade();
    case 2: return heart();
    case 3: return club();
    default: return diamond();
    }
}

double pipAspect(int suit) { return pipPath(suit).boundingRect().height() / pipPath(suit).boundingRect().width(); }

} // namespace brisvale::cardart
