#include "CourtFigure.h"

#include "Palette.h"
#include "Pips.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace brisvale::cardart {

namespace {

constexpr double kCx = 35.5;
constexpr double kFrameLeft = 14;
constexpr double kFrameRight = 57; // one past the frame's right column
constexpr double kFrameTop = 5;
constexpr double kMiddle = 48;

struct Dress {
    QColor robe;
    QColor second;
    QColor hair;
    QColor ink; // the suit's colour
};

Dress dressFor(int suit)
{
    switch (suit) {
    case 1: return {ink::Blue, ink::Red, ink::Brown, ink::Black};
    case 2: return {ink::Red, ink::Blue, ink::Ochre, ink::Red};
    case 3: return {ink::Green, ink::Red, ink::Black, ink::Black};
    default: return {ink::DarkRed, ink::Blue, ink::Brown, ink::Red};
    }
}

void fill(QPainter &p, const QPainterPath &path, const QColor &colour, const QColor &outline = ink::Black,
          double width = 0.5)
{
    p.setPen(outline.isValid() ? QPen(outline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin) : QPen(Qt::NoPen));
    p.setBrush(colour);
    p.drawPath(path);
}

QPainterPath ellipse(double cx, double cy, double rx, double ry)
{
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

void pip(QPainter &p, int suit, QPointF centre, double width, const QColor &colour)
{
    const QPainterPath path = pipPath(suit);
    const QRectF box = path.boundingRect();
    p.save();
    p.translate(centre);
    const double k = width / box.width();
    p.scale(k, k);
    p.translate(-box.center());
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
    p.restore();
}

// Frame of the picture: crisp one-unit lines on the pixel grid.
void frame(QPainter &p, const QColor &colour)
{
    p.fillRect(QRectF(kFrameLeft, kFrameTop, kFrameRight - kFrameLeft, 1), colour);
    p.fillRect(QRectF(kFrameLeft, kFrameTop, 1, kMiddle - kFrameTop), colour);
    p.fillRect(QRectF(kFrameRight - 1, kFrameTop, 1, kMiddle - kFrameTop), colour);
}

constexpr double kFaceY = 21;
constexpr double kShoulderY = 30;
const QPointF kItemHand(49.5, 40.5);
const QPointF kFlowerHand(22.5, 40.5);

void face(QPainter &p, bool lips)
{
    const double cy = kFaceY;
    fill(p, ellipse(kCx, cy, 5.0, 5.9), ink::Flesh);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::Black);
    p.drawEllipse(QPointF(kCx - 2.0, cy - 0.7), 0.7, 0.75);
    p.drawEllipse(QPointF(kCx + 2.0, cy - 0.7), 0.7, 0.75);
    // Brows and nose.
    p.setPen(QPen(ink::Brown, 0.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(kCx - 3.1, cy - 2.2), QPointF(kCx - 1.0, cy - 2.5));
    p.drawLine(QPointF(kCx + 1.0, cy - 2.5), QPointF(kCx + 3.1, cy - 2.2));
    p.drawLine(QPointF(kCx, cy - 1.2), QPointF(kCx - 0.6, cy + 1.3));
    if (lips) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink::Red);
        p.drawEllipse(QPointF(kCx, cy + 3.0), 1.4, 0.65);
    }
}

// The robe from the shoulders down to the middle of the card.
void body(QPainter &p, const Dress &d)
{
    const double y = kShoulderY;
    QPainterPath robe;
    robe.moveTo(kFrameLeft + 1.5, kMiddle + 0.5);
    robe.lineTo(kFrameLeft + 2.5, y + 7);
    robe.cubicTo(kFrameLeft + 3.5, y + 1.5, kCx - 9, y, kCx - 4, y);
    robe.lineTo(kCx + 4, y);
    robe.cubicTo(kCx + 9, y, kFrameRight - 4.5, y + 1.5, kFrameRight - 3.5, y + 7);
    robe.lineTo(kFrameRight - 2.5, kMiddle + 0.5);
    robe.closeSubpath();
    fill(p, robe, d.robe);
    // Sleeves in the second colour down the outer edges.
    QPainterPath left;
    left.moveTo(kFrameLeft + 1.5, kMiddle + 0.5);
    left.lineTo(kFrameLeft + 2.5, y + 7);
    left.cubicTo(kFrameLeft + 3.2, y + 3, kFrameLeft + 6, y + 1.8, kFrameLeft + 8, y + 1.5);
    left.lineTo(kFrameLeft + 8.5, kMiddle + 0.5);
    left.closeSubpath();
    fill(p, left, d.second);
    QTransform flip;
    flip.translate(2 * kCx, 0);
    flip.scale(-1, 1);
    fill(p, flip.map(left), d.second);
}

// Gold band down the front with a medallion that carries the suit.
void front(QPainter &p, int suit, const Dress &d, double top)
{
    fill(p, polygon({{kCx - 2.5, top}, {kCx + 2.5, top}, {kCx + 3.5, kMiddle + 0.5}, {kCx - 3.5, kMiddle + 0.5}}),
         ink::Gold, ink::Ochre);
    fill(p, ellipse(kCx, kMiddle - 6.5, 4.4, 4.4), ink::White, ink::Ochre, 0.8);
    pip(p, suit, QPointF(kCx, kMiddle - 6.2), 5.4, d.ink);
}

// An arm in its sleeve reaching from the shoulder to the hand.
void arm(QPainter &p, const Dress &d, QPointF shoulder, QPointF hand)
{
    QPainterPath sleeve;
    sleeve.moveTo(shoulder);
    sleeve.quadTo(QPointF(hand.x(), shoulder.y() + 1),
                  QPointF(hand.x() + (hand.x() > kCx ? -0.8 : 0.8), hand.y() - 1.8));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink::Black, 4.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(sleeve);
    p.setPen(QPen(d.second, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(sleeve);
    fill(p, ellipse(hand.x(), hand.y(), 2.0, 2.0), ink::Flesh);
}

void sword(QPainter &p, QPointF hand, double top)
{
    const double x = hand.x();
    fill(p,
         polygon({{x - 0.9, hand.y() - 3}, {x - 0.9, top + 2}, {x, top}, {x + 0.9, top + 2}, {x + 0.9, hand.y() - 3}}),
         ink::White, ink::Gray);
    QPainterPath guard;
    guard.addRoundedRect(QRectF(x - 3.2, hand.y() - 3.6, 6.4, 1.4), 0.6, 0.6);
    fill(p, guard, ink::Gold, ink::Ochre);
    fill(p, ellipse(x, hand.y() + 3.0, 1.0, 1.0), ink::Gold, ink::Ochre, 0.4);
}

void sceptre(QPainter &p, QPointF hand, double top)
{
    const double x = hand.x();
    QPainterPath rod;
    rod.addRect(QRectF(x - 0.6, top + 2, 1.2, hand.y() + 3 - top - 2));
    fill(p, rod, ink::Gold, ink::Ochre, 0.4);
    fill(p, ellipse(x, top + 1.6, 2.1, 2.1), ink::Gold, ink::Ochre);
    p.setPen(QPen(ink::Ochre, 0.6));
    p.drawLine(QPointF(x, top - 1.6), QPointF(x, top - 0.4));
    p.drawLine(QPointF(x - 0.9, top - 0.9), QPointF(x + 0.9, top - 0.9));
    p.setPen(Qt::NoPen);
    p.setBrush(ink::Red);
    p.drawEllipse(QPointF(x, top + 1.6), 0.9, 0.9);
}

void flower(QPainter &p, QPointF hand, double top, const QColor &bloom)
{
    const double x = hand.x();
    p.setPen(QPen(ink::Green, 0.9, Qt::SolidLine, Qt::RoundCap));
    QPainterPath stem;
    stem.moveTo(x, hand.y());
    stem.cubicTo(x + 0.5, hand.y() - 4, x - 1.0, top + 6, x, top + 2.5);
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    fill(p, polygon({{x, hand.y() - 6}, {x - 3.2, hand.y() - 8.5}, {x - 0.6, hand.y() - 5}}), ink::Green, ink::Green,
         0.3);
    for (int k = 0; k < 5; ++k) {
        const double a = k * 2 * M_PI / 5 - M_PI / 2;
        fill(p, ellipse(x + 1.8 * std::cos(a), top + 2.2 + 1.8 * std::sin(a), 1.6, 1.6), bloom, ink::DarkRed, 0.3);
    }
    fill(p, ellipse(x, top + 2.2, 1.0, 1.0), ink::Gold, QColor(), 0);
}

void halberd(QPainter &p, QPointF hand, double top)
{
    const double x = hand.x();
    QPainterPath shaft;
    shaft.addRect(QRectF(x - 0.6, top + 2, 1.2, kMiddle - top - 2));
    fill(p, shaft, ink::Brown, ink::Black, 0.3);
    fill(p, polygon({{x, top - 1.5}, {x + 1.3, top + 2.5}, {x - 1.3, top + 2.5}}), ink::White, ink::Gray);
    QPainterPath blade;
    blade.moveTo(x + 0.6, top + 3);
    blade.cubicTo(x + 3.5, top + 2.5, x + 4.6, top + 4, x + 4.3, top + 6.8);
    blade.cubicTo(x + 3.5, top + 7.0, x + 2, top + 7.2, x + 0.6, top + 7.7);
    blade.closeSubpath();
    fill(p, blade, ink::White, ink::Gray);
    fill(p, polygon({{x - 0.6, top + 4}, {x - 3.4, top + 5}, {x - 0.6, top + 6}}), ink::White, ink::Gray);
}

void ermine(QPainter &p)
{
    const double y = kShoulderY;
    QPainterPath collar;
    collar.moveTo(kCx - 11, y + 1.8);
    collar.cubicTo(kCx - 6, y - 1.2, kCx + 6, y - 1.2, kCx + 11, y + 1.8);
    collar.lineTo(kCx + 10, y + 4.5);
    collar.cubicTo(kCx + 5, y + 2.2, kCx - 5, y + 2.2, kCx - 10, y + 4.5);
    collar.closeSubpath();
    fill(p, collar, ink::White);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::Black);
    for (double dx : {-7.5, -3.8, 0.0, 3.8, 7.5})
        p.drawRect(QRectF(kCx + dx - 0.45, y + 1.0 + std::abs(dx) * 0.12, 0.9, 1.3));
}

void king(QPainter &p, int suit, const Dress &d)
{
    const QColor hair = suit == 3 ? ink::Gray : d.hair;
    body(p, d);
    front(p, suit, d, kShoulderY + 3);
    ermine(p);
    if (suit == 1 || suit == 2)
        sword(p, kItemHand, 7);
    else
        sceptre(p, kItemHand, 9);
    arm(p, d, QPointF(kCx + 9, kShoulderY + 3), kItemHand);
    // Hair and beard frame the face.
    fill(p, ellipse(kCx, kFaceY + 0.5, 7.0, 7.2), hair);
    face(p, false);
    QPainterPath beard;
    beard.moveTo(kCx - 5.0, kFaceY + 0.5);
    beard.cubicTo(kCx - 4.8, kFaceY + 6.5, kCx - 2.2, kFaceY + 9.5, kCx, kFaceY + 11.5);
    beard.cubicTo(kCx + 2.2, kFaceY + 9.5, kCx + 4.8, kFaceY + 6.5, kCx + 5.0, kFaceY + 0.5);
    beard.cubicTo(kCx + 3.4, kFaceY + 4.0, kCx - 3.4, kFaceY + 4.0, kCx - 5.0, kFaceY + 0.5);
    fill(p, beard, hair);
    p.setPen(QPen(ink::DarkRed, 0.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(kCx - 1.3, kFaceY + 3.5), QPointF(kCx + 1.3, kFaceY + 3.5));
    // Crown with five points and jewels.
    const double band = kFaceY - 7.2;
    fill(p,
         polygon({{kCx - 6.2, band + 2},
                  {kCx - 6.8, band - 6.0},
                  {kCx - 3.6, band - 2.6},
                  {kCx, band - 8.0},
                  {kCx + 3.6, band - 2.6},
                  {kCx + 6.8, band - 6.0},
                  {kCx + 6.2, band + 2}}),
         ink::Gold, ink::Ochre);
    QPainterPath rim;
    rim.addRect(QRectF(kCx - 6.4, band, 12.8, 2.8));
    fill(p, rim, ink::Gold, ink::Ochre);
    p.setPen(Qt::NoPen);
    for (double dx : {-3.6, 0.0, 3.6}) {
        p.setBrush(dx == 0.0 ? ink::Blue : ink::Red);
        p.drawEllipse(QPointF(kCx + dx, band + 1.4), 0.95, 0.95);
    }
    p.setBrush(ink::Gold);
    for (QPointF tip : {QPointF(kCx - 6.8, band - 6.4), QPointF(kCx, band - 8.5), QPointF(kCx + 6.8, band - 6.4)})
        p.drawEllipse(tip, 1.0, 1.0);
}

void queen(QPainter &p, int suit, const Dress &d)
{
    // Long hair falls behind the shoulders.
    QPainterPath hair;
    hair.moveTo(kCx - 7.5, kShoulderY + 4);
    hair.cubicTo(kCx - 9.5, kFaceY + 2, kCx - 8.0, kFaceY - 7.5, kCx, kFaceY - 7.5);
    hair.cubicTo(kCx + 8.0, kFaceY - 7.5, kCx + 9.5, kFaceY + 2, kCx + 7.5, kShoulderY + 4);
    hair.closeSubpath();
    fill(p, hair, d.hair);
    body(p, d);
    // Square neckline with a string of pearls.
    fill(p,
         polygon(
             {{kCx - 5, kShoulderY}, {kCx + 5, kShoulderY}, {kCx + 3.5, kShoulderY + 5}, {kCx - 3.5, kShoulderY + 5}}),
         ink::Flesh);
    front(p, suit, d, kShoulderY + 5);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::White);
    for (int k = -3; k <= 3; ++k)
        p.drawEllipse(QPointF(kCx + k * 1.15, kShoulderY + 2.6 + 0.09 * k * k), 0.55, 0.55);
    fill(p,
         polygon({{kCx - 1.6, kFaceY + 4},
                  {kCx + 1.6, kFaceY + 4},
                  {kCx + 1.6, kShoulderY + 0.5},
                  {kCx - 1.6, kShoulderY + 0.5}}),
         ink::Flesh, QColor(), 0);
    flower(p, kFlowerHand, 26, suit == 2 || suit == 4 ? ink::Red : (suit == 1 ? ink::LightBlue : ink::Gold));
    arm(p, d, QPointF(kCx - 9, kShoulderY + 3), kFlowerHand);
    face(p, true);
    // Fringe over the forehead.
    QPainterPath fringe;
    fringe.moveTo(kCx - 5.1, kFaceY - 1);
    fringe.cubicTo(kCx - 4.5, kFaceY - 6.5, kCx + 4.5, kFaceY - 6.5, kCx + 5.1, kFaceY - 1);
    fringe.cubicTo(kCx + 2, kFaceY - 4, kCx - 2, kFaceY - 4, kCx - 5.1, kFaceY - 1);
    fill(p, fringe, d.hair, QColor(), 0);
    // A lighter crown with rounded points.
    const double base = kFaceY - 5.0;
    QPainterPath crown;
    crown.moveTo(kCx - 5.4, base);
    crown.lineTo(kCx - 5.6, base - 4.8);
    crown.quadTo(kCx - 4.1, base - 2.6, kCx - 2.7, base - 5.2);
    crown.quadTo(kCx - 1.3, base - 3.0, kCx, base - 7.2);
    crown.quadTo(kCx + 1.3, base - 3.0, kCx + 2.7, base - 5.2);
    crown.quadTo(kCx + 4.1, base - 2.6, kCx + 5.6, base - 4.8);
    crown.lineTo(kCx + 5.4, base);
    crown.closeSubpath();
    fill(p, crown, ink::Gold, ink::Ochre);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::Blue);
    p.drawEllipse(QPointF(kCx, base - 1.8), 1.0, 1.0);
    p.setBrush(ink::White);
    for (QPointF tip : {QPointF(kCx - 5.6, base - 5.1), QPointF(kCx - 2.7, base - 5.5), QPointF(kCx, base - 7.6),
                        QPointF(kCx + 2.7, base - 5.5), QPointF(kCx + 5.6, base - 5.1)})
        p.drawEllipse(tip, 0.65, 0.65);
}

void jack(QPainter &p, int suit, const Dress &d)
{
    body(p, d);
    // Striped tunic under a gold collar.
    p.save();
    QPainterPath clip;
    clip.addRect(QRectF(kCx - 8, kShoulderY + 2, 16, kMiddle - kShoulderY - 2));
    p.setClipPath(clip, Qt::IntersectClip);
    for (double x = kCx - 8; x < kCx + 8; x += 4)
        p.fillRect(QRectF(x, kShoulderY + 2, 2, kMiddle - kShoulderY - 2), d.second);
    p.restore();
    front(p, suit, d, kShoulderY + 5);
    QPainterPath collar;
    collar.moveTo(kCx - 8.5, kShoulderY + 0.5);
    collar.lineTo(kCx + 8.5, kShoulderY + 0.5);
    collar.lineTo(kCx, kShoulderY + 5.5);
    collar.closeSubpath();
    fill(p, collar, ink::Gold, ink::Ochre);
    fill(p,
         polygon({{kCx - 1.6, kFaceY + 4},
                  {kCx + 1.6, kFaceY + 4},
                  {kCx + 1.6, kShoulderY + 0.8},
                  {kCx - 1.6, kShoulderY + 0.8}}),
         ink::Flesh, QColor(), 0);
    if (suit == 1 || suit == 3)
        halberd(p, kItemHand, 8);
    else
        sword(p, kItemHand, 9);
    arm(p, d, QPointF(kCx + 9, kShoulderY + 3), kItemHand);
    // Short curls at the sides.
    fill(p, ellipse(kCx, kFaceY + 0.3, 6.5, 6.3), d.hair);
    face(p, true);
    // Cap with a plume.
    const double brimY = kFaceY - 5.2;
    QPainterPath cap;
    cap.moveTo(kCx - 7.0, brimY + 1.5);
    cap.cubicTo(kCx - 8.0, brimY - 6.5, kCx + 7.0, brimY - 8.0, kCx + 8.0, brimY);
    cap.lineTo(kCx + 7.0, brimY + 1.5);
    cap.closeSubpath();
    fill(p, cap, d.second);
    QPainterPath brim;
    brim.addRoundedRect(QRectF(kCx - 7.4, brimY, 14.8, 2.4), 1, 1);
    fill(p, brim, ink::Gold, ink::Ochre);
    QPainterPath plume;
    plume.moveTo(kCx + 3, brimY - 3);
    plume.cubicTo(kCx + 6, brimY - 9.5, kCx + 10, brimY - 10.0, kCx + 12.5, brimY - 8.5);
    plume.cubicTo(kCx + 9, brimY - 7.5, kCx + 7, brimY - 5.5, kCx + 5, brimY - 1.5);
    plume.closeSubpath();
    fill(p, plume, ink::White, ink::Gray, 0.4);
}

} // namespace

void paintCourtHalf(QPainter &p, int rank, int suit)
{
    const Dress d = dressFor(suit);
    p.save();
    p.setClipRect(QRectF(kFrameLeft + 1, kFrameTop + 1, kFrameRight - kFrameLeft - 2, kMiddle - kFrameTop - 1));
    if (rank == 13)
        king(p, suit, d);
    else if (rank == 12)
        queen(p, suit, d);
    else
        jack(p, suit, d);
    // The small suit symbol beside the head, as on a printed court card.
    pip(p, suit, QPointF(kFrameLeft + 5, kFrameTop + 6), 6.0, d.ink);
    p.restore();
    frame(p, ink::Black);
}

void paintJoker(QPainter &p)
{
    // Jester's cap of three drooping points with bells.
    const double cx = 35.5;
    const QColor points[3] = {ink::Red, ink::Gold, ink::Blue};
    const QPointF tips[3] = {QPointF(16.5, 32), QPointF(cx, 8), QPointF(54.5, 32)};
    for (int k : {0, 2, 1}) {
        QPainterPath cap;
        cap.moveTo(cx - 8, 32);
        const QPointF tip = tips[k];
        if (k == 1) {
            cap.cubicTo(cx - 6, 20, cx - 3, 12, tip.x(), tip.y());
            cap.cubicTo(cx + 3, 12, cx + 6, 20, cx + 8, 32);
        } else if (k == 0) {
            cap.cubicTo(cx - 8, 22, 24, 16, tip.x() - 1, tip.y() - 8);
            cap.cubicTo(20, 22, tip.x(), tip.y() - 2, tip.x(), tip.y());
            cap.cubicTo(24, 28, cx - 3, 30, cx, 32);
        } else {
            cap.moveTo(cx + 8, 32);
            cap.cubicTo(cx + 8, 22, 47, 16, tip.x() + 1, tip.y() - 8);
            cap.cubicTo(51, 22, tip.x(), tip.y() - 2, tip.x(), tip.y());
            cap.cubicTo(47, 28, cx + 3, 30, cx, 32);
        }
        cap.closeSubpath();
        fill(p, cap, points[k]);
        fill(p, ellipse(tip.x(), tip.y() + (k == 1 ? -1.5 : 1.5), 2.0, 2.0), ink::Gold, ink::Ochre);
    }
    QPainterPath band;
    band.addRoundedRect(QRectF(cx - 9.5, 30.5, 19, 3.2), 1.2, 1.2);
    fill(p, band, ink::Gold, ink::Ochre);

    // Face.
    fill(p, ellipse(cx, 40.5, 7.0, 7.2), ink::Flesh);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::Black);
    p.drawEllipse(QPointF(cx - 2.8, 38.8), 0.8, 1.0);
    p.drawEllipse(QPointF(cx + 2.8, 38.8), 0.8, 1.0);
    p.setBrush(ink::Pink);
    p.drawEllipse(QPointF(cx - 4.4, 42.2), 1.3, 1.0);
    p.drawEllipse(QPointF(cx + 4.4, 42.2), 1.3, 1.0);
    p.setBrush(ink::Red);
    p.drawEllipse(QPointF(cx, 41.0), 1.3, 1.3);
    p.setPen(QPen(ink::DarkRed, 0.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath smile;
    smile.moveTo(cx - 3.6, 43.4);
    smile.quadTo(cx, 47.4, cx + 3.6, 43.4);
    p.drawPath(smile);

    // Ruff of red and white points.
    for (int k = 0; k < 10; ++k) {
        const double x0 = cx - 11 + k * 2.2;
        fill(p, polygon({{x0, 48}, {x0 + 2.2, 48}, {x0 + 1.1, 53.5}}), k % 2 ? ink::Red : ink::White, ink::Black, 0.4);
    }
    // Harlequin body of diamonds.
    QPainterPath suit;
    suit.moveTo(cx - 10, 48.5);
    suit.lineTo(cx + 10, 48.5);
    suit.lineTo(cx + 15, 86);
    suit.lineTo(cx - 15, 86);
    suit.closeSubpath();
    p.save();
    p.setClipPath(suit);
    const QColor checks[4] = {ink::Red, ink::Gold, ink::Blue, ink::Green};
    for (int row = 0; row < 8; ++row) {
        for (int col = -4; col <= 4; ++col) {
            const double x = cx + col * 6 + (row % 2 ? 3 : 0);
            const double y = 50 + row * 5;
            fill(p, polygon({{x, y - 5}, {x + 3, y}, {x, y + 5}, {x - 3, y}}), checks[(row + col + 8) % 4], QColor(),
                 0);
        }
    }
    p.restore();
    p.setPen(QPen(ink::Black, 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(suit);
    // Ruff drawn again over the top of the body.
    for (int k = 0; k < 10; ++k) {
        const double x0 = cx - 11 + k * 2.2;
        fill(p, polygon({{x0, 48}, {x0 + 2.2, 48}, {x0 + 1.1, 53.5}}), k % 2 ? ink::Red : ink::White, ink::Black, 0.4);
    }
    // Bauble on a stick in one hand.
    p.setPen(QPen(ink::Brown, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx + 13, 72), QPointF(cx + 17, 56));
    fill(p, ellipse(cx + 17.3, 54.5, 2.6, 2.6), ink::Gold, ink::Ochre);
    fill(p, ellipse(cx + 13, 70, 2.0, 2.0), ink::Flesh);
}

} // namespace brisvale::cardart
