#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <functional>

class QPainter;

namespace brisvale::cardart {

// Draws the card images. Everything is designed in units of one pixel of the
// 71 x 96 image; a rendition at scale 2 or 3 draws the same design on a finer
// grid. Scale 1 gives the opaque image (its corners are rounded off by the card
// control); the larger renditions carry rounded corners of their own.
class CardArtist {
public:
    static constexpr int kWidth = 71;
    static constexpr int kHeight = 96;

    explicit CardArtist(int scale) : scale_(scale) {}

    QImage draw(int value) const;

    // The colours a 71 x 96 image is reduced to: two for the plain black
    // cards, sixteen for the rest.
    static QList<QRgb> palette(int value);
    static int bitsPerPixel(int value);

private:
    // Text set by its ink: centred on centreX, its highest ink on top. The
    // 71 x 96 image gets hinted, unsmoothed glyphs for crisp small letters;
    // the larger renditions get the same glyphs' outlines.
    void label(QPainter &p, const QString &text, const QString &family, int pixels, double centreX, double top,
               const QColor &colour, double maxWidth) const;
    void drawBlank(QPainter &p, const QColor &fill) const;
    void drawFace(QPainter &p, int value) const;
    void drawJoker(QPainter &p) const;
    void drawTurned(QPainter &p, const std::function<void(QPainter &)> &paintHalf) const;
    void drawIndex(QPainter &p, int rank, int suit) const;
    void drawPips(QPainter &p, int rank, int suit) const;
    QImage pipSprite(int suit, double width, const QColor &colour) const;
    QImage newLayer() const;

    int scale_;
};

} // namespace brisvale::cardart
