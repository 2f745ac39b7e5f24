#include "platform/DesignScaler.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace brisvale::platform;

TEST(DesignScaler, ScalesOnceUniformlyAndCentres)
{
    QWidget surface;
    surface.resize(640, 480);
    DesignScaler scaler(&surface, QSize(640, 480));
    QLabel label(&surface);
    label.setGeometry(100, 50, 71, 96);
    QFont f = label.font();
    f.setPixelSize(13);
    label.setFont(f);
    QLabel inner(&label);
    inner.setGeometry(10, 10, 20, 20);
    scaler.add(&label);
    scaler.add(&inner);
    double seen = 0;
    scaler.setOnScaled([&](double factor) { seen = factor; });

    surface.resize(1280, 960);
    scaler.apply();
    EXPECT_DOUBLE_EQ(seen, 2.0);
    EXPECT_EQ(label.geometry(), QRect(200, 100, 142, 192));
    EXPECT_EQ(label.font().pixelSize(), 26);
    EXPECT_EQ(inner.geometry(), QRect(20, 20, 40, 40)); // relative to its parent, no offset

    // A wide window keeps the aspect and centres the table; repeated passes
    // start from the design, so nothing grows twice.
    surface.resize(1920, 960);
    scaler.apply();
    scaler.apply();
    EXPECT_DOUBLE_EQ(scaler.factor(), 2.0);
    EXPECT_EQ(label.geometry(), QRect(200 + 320, 100, 142, 192));
    EXPECT_EQ(label.font().pixelSize(), 26);

    surface.resize(320, 240);
    scaler.apply();
    EXPECT_EQ(label.geometry(), QRect(50, 25, 36, 48));
    EXPECT_EQ(label.font().pixelSize(), 7);
}

TEST(DesignScaler, ACaptionWiderThanItsBoxGetsASmallerFontInsteadOfBeingCut)
{
    QWidget surface;
    surface.resize(1024, 768);
    DesignScaler scaler(&surface, QSize(640, 480));
    QFont f;
    f.setPixelSize(11);
    QLabel line(QStringLiteral("File name to save to"), &surface);
    line.setFont(f);
    line.setGeometry(10, 10, 80, 13);
    QLabel wrapped(QStringLiteral("Your winning bets are multiplied by the values you select."), &surface);
    wrapped.setWordWrap(true);
    wrapped.setFont(f);
    wrapped.setGeometry(10, 40, 60, 60);
    QLabel roomy(QStringLiteral("Bet"), &surface);
    roomy.setFont(f);
    roomy.setGeometry(10, 120, 80, 13);
    for (QWidget *w : {static_cast<QWidget *>(&line), static_cast<QWidget *>(&wrapped), static_cast<QWidget *>(&roomy)})
        scaler.add(w);
    scaler.apply();
    EXPECT_LT(line.font().pixelSize(), 18);
    EXPECT_LE(line.sizeHint().width(), line.width());
    EXPECT_LE(wrapped.heightForWidth(wrapped.width()), wrapped.height());
    EXPECT_EQ(roomy.font().pixelSize(), 18); // 11 x 1.6, untouched
}
