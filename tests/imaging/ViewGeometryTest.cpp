#include "imaging/ViewGeometry.h"

#include <gtest/gtest.h>

using namespace brisvale;

TEST(ViewGeometry, RatioBoxKeepsTheAspect)
{
    // Wide picture: full width, centred vertically.
    EXPECT_EQ(ratioBox(QSize(200, 200), QSize(300, 100)), QRect(0, 67, 200, 67));
    // Tall picture: full height, centred horizontally.
    EXPECT_EQ(ratioBox(QSize(300, 150), QSize(100, 300)), QRect(125, 0, 50, 150));
    // Square picture counts as tall.
    EXPECT_EQ(ratioBox(QSize(400, 200), QSize(50, 50)), QRect(100, 0, 200, 200));
    // Halves round to even: 3 x 1 picture in 5 x 5 gives a height of 1.666.., top 1.666..;
    // 2 x 1 in 5 x 4: scale 2.5, height 2.5 -> 2, top 0.75 -> 1.
    EXPECT_EQ(ratioBox(QSize(5, 4), QSize(2, 1)), QRect(0, 1, 5, 2));
    // A panorama far wider than tall keeps a row (and a tall one a column)
    // instead of a box of nothing, which was drawn as the picture unscaled.
    EXPECT_EQ(ratioBox(QSize(1280, 1), QSize(32768, 8)), QRect(0, 0, 1280, 1));
    EXPECT_EQ(ratioBox(QSize(1, 1024), QSize(8, 32768)), QRect(0, 0, 1, 1024));
    // A picture with a side of 0 fills the client.
    EXPECT_EQ(ratioBox(QSize(80, 60), QSize(0, 10)), QRect(0, 0, 80, 60));
}

TEST(ViewGeometry, CentreOffsetTruncatesTowardZero)
{
    EXPECT_EQ(centreOffset(QSize(101, 51), QSize(50, 20)), QPoint(25, 15));
    EXPECT_EQ(centreOffset(QSize(100, 100), QSize(203, 301)), QPoint(-51, -100));
}

TEST(ViewGeometry, ExtensionIsUpperCasedAndCutToFour)
{
    EXPECT_EQ(viewExtension(QStringLiteral("/pics/a.jpeg")), QStringLiteral(".JPE"));
    EXPECT_EQ(viewExtension(QStringLiteral("/pics/X.TIFF")), QStringLiteral(".TIF"));
    EXPECT_EQ(viewExtension(QStringLiteral("castle.res")), QStringLiteral(".RES"));
    EXPECT_EQ(viewExtension(QStringLiteral("/pics.d/noext")), QString());
}

TEST(ViewGeometry, ZoomStepsByTenAndStops)
{
    ZoomState z;
    const QSize picture(50, 50);
    EXPECT_TRUE(z.zoomIn(picture));
    EXPECT_EQ(z.inset, 10);
    EXPECT_TRUE(z.zoomIn(picture));
    EXPECT_EQ(z.inset, 20);
    EXPECT_FALSE(z.zoomIn(picture)); // 50 - 40 = 10 is below 20
    EXPECT_EQ(z.inset, 20);
    EXPECT_TRUE(z.zoomed);
    EXPECT_EQ(z.rect, QRect(20, 20, 10, 10));

    // A wide picture stops when its height is used up, never shown as a strip.
    ZoomState wide;
    int steps = 0;
    while (wide.zoomIn(QSize(2400, 300)))
        ++steps;
    EXPECT_EQ(steps, 11);
    EXPECT_EQ(wide.rect, QRect(110, 110, 2180, 80));

    ZoomState out;
    EXPECT_TRUE(out.zoomOut(picture));
    EXPECT_EQ(out.inset, -10);
    EXPECT_EQ(out.rect, QRect(-10, -10, 70, 70));
    EXPECT_FALSE(out.zoomOut(picture)); // -10 is as far out as it goes
}
