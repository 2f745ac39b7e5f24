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

    // Fed as decoded rows, whole or in uneven pieces, the same pixels come out.
    BoxShrinker shrinker(board.width(), board.height(), QSize(60, 50));
    BoxShrinker pieces(board.width(), board.height(), QSize(60, 50));
    std::vector<uint8_t> bgr(size_t(board.width()) * 3);
    for (int y = 0; y < board.height(); ++y) {
        for (int x = 0; x < board.width(); ++x) {
            const QRgb c = board.pixel(x, y);
            bgr[size_t(x) * 3] = uint8_t(qBlue(c));
            bgr[size_t(x) * 3 + 1] = uint8_t(qGreen(c));
            bgr[size_t(x) * 3 + 2] = uint8_t(qRed(c));
        }
        shrinker.addBgrRow(bgr.data());
        for (int x0 = 0, n = 1; x0 < board.width(); x0 += n, n += 3) {
            n = std::min(n, board.width() - x0);
            pieces.addBgrPiece(bgr.data() + size_t(x0) * 3, x0, n);
        }
    }
    EXPECT_EQ(shrinker.result(), box);
    EXPECT_EQ(pieces.result(), box);
}
