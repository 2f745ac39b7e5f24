#include "imaging/BoxShrink.h"

#include <gtest/gtest.h>

using namespace brisvale;

TEST(BoxShrinkTest, EachBoxPixelIsTheAreaWeightedMean)
{
    // Three columns into two: the middle one is shared half and half.
    QImage row(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
        row.setPixel(0, y, qRgb(0, 30, 255));
        row.setPixel(1, y, qRgb(90, 30, 255));
        row.setPixel(2, y, qRgb(180, 30, 255));
    }
    const QImage two = ScaleToBox(row, QSize(2, 1), true);
    EXPECT_EQ(two.pixel(0, 0), qRgb(30, 30, 255));
    EXPECT_EQ(two.pixel(1, 0), qRgb(150, 30, 255));

    // Rows split the same way; a fine checkerboard averages out everywhere.
    QImage board(121, 101, QImage::Format_RGB32);
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QImage box = ScaleToBox(board, QSize(60, 50), true);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_NEAR(qRed(box.pixel(x, y)), 128, 4) << x << "," << y;

    // Fed as decoded rows, whole or in uneven pieces, row after row or every
    // row a piece at a time across the width, the same pixels come out.
    BoxShrinker shrinker(board.width(), board.height(), QSize(60, 50));
    BoxShrinker pieces(board.width(), board.height(), QSize(60, 50));
    BoxShrinker across(board.width(), board.height(), QSize(60, 50));
    const size_t stride = size_t(board.width()) * 3;
    std::vector<uint8_t> bgr(stride * size_t(board.height()));
    for (int y = 0; y < board.height(); ++y) {
        uint8_t *row = bgr.data() + stride * size_t(y);
        for (int x = 0; x < board.width(); ++x) {
            const QRgb c = board.pixel(x, y);
            row[size_t(x) * 3] = uint8_t(qBlue(c));
            row[size_t(x) * 3 + 1] = uint8_t(qGreen(c));
            row[size_t(x) * 3 + 2] = uint8_t(qRed(c));
        }
        shrinker.addBgrRow(row);
        for (int x0 = 0, n = 1; x0 < board.width(); x0 += n, n += 3) {
            n = std::min(n, board.width() - x0);
            pieces.addBgrPiece(y, row + size_t(x0) * 3, x0, n);
        }
    }
    for (int x0 = 0, n = 1; x0 < board.width(); x0 += n, n += 5) {
        n = std::min(n, board.width() - x0);
        for (int y = 0; y < board.height(); ++y)
            across.addBgrPiece(y, bgr.data() + stride * size_t(y) + size_t(x0) * 3, x0, n);
    }
    EXPECT_EQ(shrinker.result(), box);
    EXPECT_EQ(pieces.result(), box);
    EXPECT_EQ(across.result(), box);
}
