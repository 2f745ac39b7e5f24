#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <deque>
#include <vector>

namespace brisvale {

// Shrinks a picture fed row by row, top to bottom, into a smaller box by area
// averaging: each box pixel is the mean of the source area it covers, parts
// of pixels weighted by the part covered. Integer arithmetic throughout, so
// the same rows always give the same pixels, whoever feeds them.
class BoxShrinker {
public:
    // Both sides of the box at most those of the source, none of them 0.
    BoxShrinker(int sourceWidth, int sourceHeight, QSize box);

    // One source row as blue, green, red bytes, 3 x sourceWidth of them.
    void addBgrRow(const uint8_t *bgr);
    // Row `y` in pieces from the left, `count` pixels from column x0 each, so
    // that a row millions of pixels long is never held whole. Pieces of later
    // rows may come before a row is whole (a reader that decodes across the
    // width); rows are taken in as they become whole, from the top down.
    void addBgrPiece(int y, const uint8_t *bgr, int x0, int count);
    // The rows and pieces from now on hold red first and blue third.
    void takeRedFirst() { redFirst_ = true; }
    // One source row of an opaque 32-bit picture (RGB32 or ARGB32).
    void addRgb32Row(const QRgb *row);
    // After all rows: the box as RGB32.
    const QImage &result() const { return out_; }

private:
    template <typename Pixel>
    void addRow(const Pixel &pixelAt);
    void addLine();
    void finishRow(int boxRow);

    // The source columns of one box column: the first and the last, each
    // weighted by its share, and those between counting whole.
    struct Span {
        int x0, x1;
        uint64_t w0, w1;
    };

    int sw_, sh_, dw_, dh_;
    int y_ = 0;
    bool redFirst_ = false;
    std::vector<Span> spans_;
    std::vector<uint64_t> line_; // the current row reduced to box columns, 3 per column (and a spare)
    std::vector<uint64_t> sums_; // two box rows being gathered, 3 per column each
    // Rows from y_ on that have pieces but are not whole yet, as line_ is.
    struct OpenRow {
        std::vector<uint64_t> line;
        bool whole = false;
    };
    std::deque<OpenRow> open_;
    QImage out_;
};

// The picture scaled to the box as an image control paints it stretched:
// area averaging for an opaque picture that shrinks in both directions,
// otherwise Qt's smooth (or, for black and white, fast) scaling.
QImage ScaleToBox(const QImage &picture, QSize box, bool smooth);

// True when ScaleToBox shrinks pictures of that size by area averaging.
bool ShrinksByArea(QSize picture, QSize box, bool smooth);

// True when a picture is larger than the box one way only (a long strip):
// it is shrunk by area that way first, to ShrinkTarget, and then scaled.
bool ShrinksAcross(QSize picture, QSize box);
QSize ShrinkTarget(QSize picture, QSize box);

} // namespace brisvale
