#include "CardBacks.h"

#include "Palette.h"
#include "Pips.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace brisvale::cardart {

namespace {

// The patterned panel inside the white margin.
const QRectF kPanel(4, 4, 63, 88);
constexpr double kCx = 35.5;
constexpr double kCy = 48;

QPainterPath star(QPointF c, double outer, double inner, int points, double turn = -M_PI / 2)
{
    QPainterPath path;
    for (int k = 0; k < 2 * points; ++k) {
        const double r = k % 2 ? inner : outer;
        const double a = turn + k * M_PI / points;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (k == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

QPainterPath rosette(QPointF c, double radius, int petals)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (int k = 0; k < petals; ++k) {
        const double a = k * 2 * M_PI / petals;
        QPainterPath petal;
        petal.addEllipse(QPointF(0, -radius * 0.55), radius * 0.28, radius * 0.5);
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotateRadians(a);
        path.addPath(t.map(petal));
    }
    return path.simplified();
}

void frameLine(QPainter &p, const QRectF &r, const QColor &colour, double width)
{
    p.setPen(QPen(colour, width));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(width / 2, width / 2, -width / 2, -width / 2));
}

// 1: blue trellis with white knots.
void trellis(QPainter &p)
{
    p.fillRect(kPanel, QColor(24, 56, 160));
    p.setPen(QPen(QColor(120, 160, 232), 1.0));
    for (double d = -96; d < 140; d += 7) {
        p.drawLine(QPointF(kPanel.left() + d, kPanel.top()), QPointF(kPanel.left() + d + 88, kPanel.bottom()));
        p.drawLine(QPointF(kPanel.left() + d, kPanel.bottom()), QPointF(kPanel.left() + d + 88, kPanel.top()));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (double y = kCy - 7 * 7; y <= kCy + 7 * 7; y += 7) {
        for (double x = kCx - 3.5 * 11; x <= kCx + 3.5 * 11; x += 7) {
            const bool shift = int(std::lround((y - kCy) / 7)) % 2 != 0;
            p.drawEllipse(QPointF(x + (shift ? 3.5 : 0), y), 0.9, 0.9);
        }
    }
    frameLine(p, kPanel, QColor(8, 24, 96), 1.5);
}

// 2: red argyle.
void argyle(QPainter &p)
{
    p.fillRect(kPanel, QColor(200, 24, 32));
    const double w = 15.75, h = 22;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 0, 16));
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            if ((row + col) % 2)
                continue;
            const double x = kPanel.left() + col * w, y = kPanel.top() + row * h;
            QPolygonF d({{x + w / 2, y}, {x + w, y + h / 2}, {x + w / 2, y + h}, {x, y + h / 2}});
            p.drawPolygon(d);
        }
    }
    p.setPen(QPen(QColor(252, 232, 200), 0.6, Qt::DashLine));
    for (double d = -4 * w; d <= 4 * w; d += w) {
        p.drawLine(QPointF(kPanel.left() + d, kPanel.top()), QPointF(kPanel.left() + d + 4 * w, kPanel.bottom()));
        p.drawLine(QPointF(kPanel.left() + d, kPanel.bottom()), QPointF(kPanel.left() + d + 4 * w, kPanel.top()));
    }
    frameLine(p, kPanel, QColor(96, 0, 0), 1.5);
}

// 3: green frames around a golden rosette.
void medallion(QPainter &p)
{
    const QColor dark(0, 96, 48), light(96, 184, 112), gold(240, 200, 48);
    p.fillRect(kPanel, dark);
    for (int k = 0; k < 6; ++k) {
        const double inset = 3 + k * 5;
        QPainterPath path;
        path.addRoundedRect(kPanel.adjusted(inset, inset, -inset, -inset), 3, 3);
        p.setPen(QPen(k % 2 ? gold : light, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.setPen(QPen(QColor(160, 112, 0), 0.6));
    p.setBrush(gold);
    p.drawPath(rosette(QPointF(kCx, kCy), 12, 8));
    p.setBrush(dark);
    p.drawEllipse(QPointF(kCx, kCy), 3.2, 3.2);
    p.setBrush(gold);
    p.drawEllipse(QPointF(kCx, kCy), 1.6, 1.6);
    frameLine(p, kPanel, QColor(0, 48, 24), 1.5);
}

// 4: stars and a crescent moon on a night sky.
void night(QPainter &p)
{
    const QColor sky(16, 24, 80), gold(248, 208, 64);
    p.fillRect(kPanel, sky);
    p.setPen(Qt::NoPen);
    // A half-turn symmetric scatter, so the back looks the same either way up.
    const QPointF stars[] = {{12, 12}, {27, 9}, {47, 13}, {60, 8},  {17, 25}, {38, 22},
                             {56, 28}, {9, 38}, {24, 36}, {61, 41}, {13, 52}, {52, 47}};
    for (const QPointF &s : stars) {
        for (const QPointF &c : {s, QPointF(71 - s.x(), 96 - s.y())}) {
            p.setBrush(gold);
            p.drawPath(star(c, 2.6, 1.1, 5));
        }
    }
    p.setBrush(QColor(200, 208, 240));
    for (const QPointF &s : {QPointF(33, 14), QPointF(44, 33), QPointF(7, 60), QPointF(20, 70), QPointF(30, 86)})
        for (const QPointF &c : {s, QPointF(71 - s.x(), 96 - s.y())})
            p.drawEllipse(c, 0.7, 0.7);
    QPainterPath moon;
    moon.addEllipse(QPointF(kCx, kCy), 10, 10);
    QPainterPath bite;
    bite.addEllipse(QPointF(kCx + 5, kCy - 3), 9, 9);
    p.setBrush(gold);
    p.drawPath(moon.subtracted(bite));
    frameLine(p, kPanel, gold, 1.0);
}

// 5: fish scales in sea colours.
void scales(QPainter &p)
{
    const QColor deep(0, 104, 120), light(64, 176, 184), edge(224, 248, 248);
    p.fillRect(kPanel, deep);
    p.save();
    p.setClipRect(kPanel);
    const double r = 6;
    // Bottom row first, so each row overlaps the one below and the scales
    // hang downwards.
    for (int row = 20; row >= 0; --row) {
        const double y = kPanel.top() - 6 + row * 5;
        for (int col = -1; col < 7; ++col) {
            const double x = kPanel.left() + col * 2 * r + (row % 2 ? r : 0);
            QPainterPath scale;
            scale.addEllipse(QPointF(x, y), r, r);
            p.setPen(QPen(edge, 0.7));
            p.setBrush(row % 4 < 2 ? light : deep);
            p.drawPath(scale);
        }
    }
    p.restore();
    frameLine(p, kPanel, QColor(0, 56, 64), 1.5);
}

// 6: red and black checks with a round badge.
void checks(QPainter &p)
{
    const QColor red(208, 16, 24), black(24, 24, 24), gold(240, 200, 48);
    const double cell = 63.0 / 9;
    for (int row = 0; row < 13; ++row) {
        for (int col = 0; col < 9; ++col) {
            const QRectF r(kPanel.left() + col * cell, kPanel.top() + row * 88.0 / 13, cell, 88.0 / 13);
            p.fillRect(r, (row + col) % 2 ? black : red);
        }
    }
    p.setPen(QPen(black, 1.5));
    p.setBrush(gold);
    p.drawEllipse(QPointF(kCx, kCy), 13, 13);
    p.setPen(QPen(red, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(kCx, kCy), 10, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawPath(star(QPointF(kCx, kCy), 8, 3.4, 8, 0));
    frameLine(p, kPanel, black, 1.5);
}

// 7: a sunburst.
void sunburst(QPainter &p)
{
    const QColor orange(232, 112, 16), gold(248, 200, 48), deep(176, 56, 8);
    p.save();
    p.setClipRect(kPanel);
    p.fillRect(kPanel, orange);
    p.setPen(Qt::NoPen);
    p.setBrush(gold);
    const int rays = 24;
    for (int k = 0; k < rays; k += 2) {
        const double a0 = k * 2 * M_PI / rays, a1 = (k + 1) * 2 * M_PI / rays;
        p.drawPolygon(QPolygonF({QPointF(kCx, kCy), QPointF(kCx + 80 * std::cos(a0), kCy + 80 * std::sin(a0)),
                                 QPointF(kCx + 80 * std::cos(a1), kCy + 80 * std::sin(a1))}));
    }
    p.restore();
    p.setPen(QPen(deep, 1.2));
    p.setBrush(QColor(252, 236, 160));
    p.drawEllipse(QPointF(kCx, kCy), 11, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(orange);
    p.drawPath(star(QPointF(kCx, kCy), 9, 4.5, 12, 0));
    p.setBrush(gold);
    p.drawEllipse(QPointF(kCx, kCy), 4, 4);
    frameLine(p, kPanel, deep, 1.5);
}

// 8: rolling waves.
void waves(QPainter &p)
{
    const QColor shades[3] = {QColor(16, 48, 136), QColor(40, 104, 192), QColor(112, 176, 232)};
    p.save();
    p.setClipRect(kPanel);
    p.fillRect(kPanel, shades[0]);
    for (int band = 0; band < 16; ++band) {
        const double y = kPanel.top() + band * 6;
        QPainterPath wave;
        wave.moveTo(kPanel.left() - 8, y + 8);
        for (double x = kPanel.left() - 8; x < kPanel.right() + 8; x += 10.5)
            wave.cubicTo(x + 2.6, y - 1.5, x + 7.9, y - 1.5, x + 10.5, y + 2);
        wave.lineTo(kPanel.right() + 8, y + 8);
        wave.closeSubpath();
        p.setPen(QPen(Qt::white, 0.7));
        p.setBrush(shades[band % 3]);
        p.drawPath(wave);
    }
    p.restore();
    frameLine(p, kPanel, QColor(8, 24, 80), 1.5);
}

// 9: interlaced circles on violet.
void circles(QPainter &p)
{
    const QColor violet(88, 32, 128), lilac(200, 160, 232), pink(240, 120, 184);
    p.fillRect(kPanel, violet);
    p.save();
    p.setClipRect(kPanel);
    const double r = 7;
    p.setPen(QPen(lilac, 0.8));
    p.setBrush(Qt::NoBrush);
    for (int row = -1; row < 15; ++row) {
        for (int col = -1; col < 7; ++col) {
            const QPointF c(kCx + (col - 3) * r * std::sqrt(3.0) + (row % 2 ? r * std::sqrt(3.0) / 2 : 0),
                            kCy + (row - 7) * r * 1.5);
            p.drawEllipse(c, r, r);
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(pink);
    for (int row = -1; row < 15; ++row)
        for (int col = -1; col < 7; ++col)
            p.drawEllipse(QPointF(kCx + (col - 3) * r * std::sqrt(3.0) + (row % 2 ? r * std::sqrt(3.0) / 2 : 0),
                                  kCy + (row - 7) * r * 1.5),
                          1.1, 1.1);
    p.restore();
    frameLine(p, kPanel, QColor(48, 8, 80), 1.5);
}

// 10: the house back: a golden castle on deep red.
void house(QPainter &p)
{
    const QColor wine(112, 8, 24), gold(240, 196, 56), ochre(160, 104, 8), cream(252, 236, 176);
    p.fillRect(kPanel, wine);
    frameLine(p, kPanel.adjusted(2.5, 2.5, -2.5, -2.5), gold, 1.0);
    frameLine(p, kPanel.adjusted(4.5, 4.5, -4.5, -4.5), gold, 0.5);
    // Corner fleurons.
    p.setPen(Qt::NoPen);
    p.setBrush(gold);
    for (const QPointF &c : {QPointF(13, 13), QPointF(58, 13), QPointF(13, 83), QPointF(58, 83)})
        p.drawPath(rosette(c, 4.2, 4));
    // An oval shield around the castle.
    p.setPen(QPen(gold, 1.2));
    p.setBrush(QColor(72, 0, 16));
    p.drawEllipse(QPointF(kCx, kCy), 20, 28);
    p.setPen(QPen(gold, 0.5));
    p.drawEllipse(QPointF(kCx, kCy), 17.5, 25.5);
    // Castle: a keep between two towers, battlements, gate and flags.
    QPainterPath castle;
    castle.addRect(QRectF(kCx - 12, 44, 24, 18)); // wall
    castle.addRect(QRectF(kCx - 15, 36, 7, 26));  // left tower
    castle.addRect(QRectF(kCx + 8, 36, 7, 26));   // right tower
    castle.addRect(QRectF(kCx - 5, 32, 10, 12));  // keep
    for (double x : {-15.0, -11.0, 8.0, 12.0})
        castle.addRect(QRectF(kCx + x, 33.5, 3, 3));
    for (double x : {-5.0, -1.5, 2.0})
        castle.addRect(QRectF(kCx + x, 29.5, 3, 3));
    for (double x : {-8.0, -4.0, 1.0, 5.0})
        castle.addRect(QRectF(kCx + x, 41.5, 3, 3));
    QPainterPath gate;
    gate.moveTo(kCx - 3.5, 62);
    gate.lineTo(kCx - 3.5, 55);
    gate.arcTo(QRectF(kCx - 3.5, 51.5, 7, 7), 180, -180);
    gate.lineTo(kCx + 3.5, 62);
    gate.closeSubpath();
    QPainterPath windows;
    for (double x : {-12.5, 10.5})
        windows.addRect(QRectF(kCx + x, 42, 2, 4));
    windows.addRect(QRectF(kCx - 1, 35, 2, 4));
    p.setPen(QPen(ochre, 0.5));
    p.setBrush(gold);
    p.drawPath(castle.simplified().subtracted(gate).subtracted(windows));
    p.setPen(QPen(cream, 0.5));
    p.drawLine(QPointF(kCx, 29.5), QPointF(kCx, 23));
    p.setPen(Qt::NoPen);
    p.setBrush(cream);
    p.drawPolygon(QPolygonF({{kCx, 23}, {kCx + 5, 24.5}, {kCx, 26}}));
    // Ground and a banner of stars beneath.
    p.setBrush(gold);
    p.drawRect(QRectF(kCx - 17, 62, 34, 1.2));
    for (double x : {-8.0, 0.0, 8.0})
        p.drawPath(star(QPointF(kCx + x, 67.5), 2.4, 1.0, 5));
}

} // namespace

void paintBack(QPainter &p, int design)
{
    p.save();
    QPainterPath panel;
    panel.addRoundedRect(kPanel, 2, 2);
    p.setClipPath(panel);
    switch (design) {
    case 1: trellis(p); break;
    case 2: argyle(p); break;
    case 3: medallion(p); break;
    case 4: night(p); break;
    case 5: scales(p); break;
    case 6: checks(p); break;
    case 7: sunburst(p); break;
    case 8: waves(p); break;
    case 9: circles(p); break;
    default: house(p); break;
    }
    p.restore();
}

QList<QRgb> backPalette(int design)
{
    QList<QColor> colours{ink::Black, ink::White, QColor(192, 192, 192), QColor(128, 128, 128)};
    switch (design) {
    case 1:
        colours += {QColor(24, 56, 160),  QColor(120, 160, 232), QColor(8, 24, 96),
                    QColor(72, 108, 196), QColor(180, 200, 240), QColor(48, 84, 180)};
        break;
    case 2:
        colours += {QColor(200, 24, 32), QColor(120, 0, 16),    QColor(252, 232, 200),
                    QColor(96, 0, 0),    QColor(226, 128, 116), QColor(160, 12, 24)};
        break;
    case 3:
        colours += {QColor(0, 96, 48), QColor(96, 184, 112), QColor(240, 200, 48), QColor(160, 112, 0),
                    QColor(0, 48, 24), QColor(48, 140, 80),  QColor(120, 148, 48)};
        break;
    case 4:
        colours += {QColor(16, 24, 80), QColor(248, 208, 64), QColor(200, 208, 240), QColor(132, 116, 72),
                    QColor(108, 116, 160)};
        break;
    case 5:
        colours += {QColor(0, 104, 120), QColor(64, 176, 184),  QColor(224, 248, 248),
                    QColor(0, 56, 64),   QColor(112, 176, 184), QColor(144, 212, 216)};
        break;
    case 6:
        colours += {QColor(208, 16, 24), QColor(24, 24, 24), QColor(240, 200, 48), QColor(116, 20, 24),
                    QColor(224, 108, 36)};
        break;
    case 7:
        colours += {QColor(232, 112, 16),  QColor(248, 200, 48), QColor(176, 56, 8),
                    QColor(252, 236, 160), QColor(240, 156, 32), QColor(204, 84, 12)};
        break;
    case 8:
        colours += {QColor(16, 48, 136), QColor(40, 104, 192),  QColor(112, 176, 232),
                    QColor(8, 24, 80),   QColor(184, 216, 244), QColor(76, 140, 212)};
        break;
    case 9:
        colours += {QColor(88, 32, 128), QColor(200, 160, 232), QColor(240, 120, 184),
                    QColor(48, 8, 80),   QColor(144, 96, 180),  QColor(164, 76, 156)};
        break;
    default:
        colours += {QColor(112, 8, 24), QColor(240, 196, 56), QColor(160, 104, 8), QColor(252, 236, 176),
                    QColor(72, 0, 16),  QColor(176, 100, 40), QColor(92, 4, 20)};
        break;
    }
    QList<QRgb> rgb;
    for (const QColor &c : colours)
        rgb.append(c.rgb());
    return rgb;
}

} // namespace brisvale::cardart
