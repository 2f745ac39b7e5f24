#pragma once

#include <QImage>
#include <QString>
#include <array>

namespace brisvale {

// The card images built into the program, found by name without regard to
// case ("cdAceofSpades" finds CDACEOFSPADES). Each card has its 71 x 96
// bitmap and renditions of the same design at two and three times the size.
class CardImages {
public:
    static constexpr int kWidth = 71;
    static constexpr int kHeight = 96;
    static constexpr int kLargestScale = 3;

    // The 71 x 96 bitmap, or a null image when no card has that name.
    static QImage bitmap(const QString &name);

    // The resource path of the bitmap as stored (to read its header), or an
    // empty string when no card has that name.
    static QString bitmapPath(const QString &name);

    // The rendition at scale 1..3 with the corners already rounded off
    // (transparent), ready to be scaled onto any background; null when no
    // card has that name or the scale is not offered.
    static QImage rendition(const QString &name, int scale);

    // The smallest rendition that covers a card of this size in device
    // pixels without enlarging; the largest one beyond that.
    static int bestScale(const QSize &devicePixels);

    // The twelve pixels the card control paints in the table's colour: at
    // each corner the corner pixel and the two beside it along the edges.
    static std::array<QPoint, 12> cornerPixels(int width, int height);
};

} // namespace brisvale
