#include "imaging/TImageView.h"
#include "picture/TPicture.h"
#include "tests/picture/PictureWindowFixture.h"

#include <QColor>

using namespace brisvale;
using test::PictureWindowTest;

namespace {

QColor shownColour(TPicture &window)
{
    return QColor(window.ImageView1->Picture().bitmap.image().pixel(0, 0));
}

} // namespace

TEST_F(PictureWindowTest, LastPictureBeforeAnyNewPictureShowsTheRememberedOneNotTheDrawnOne)
{
    picture(QStringLiteral("a.bmp"), Qt::green);
    const QString remembered = picture(QStringLiteral("b.bmp"), Qt::red);
    remember(remembered, 2);
    auto window = open();
    window->FormActivate(); // with the clock at midnight the draw is the first file
    ASSERT_EQ(shownColour(*window), QColor(Qt::green));
    window->LastPicture1Click();
    EXPECT_EQ(shownColour(*window), QColor(Qt::red));
    EXPECT_EQ(window->state().currentPicture, remembered);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Right Mouse Menu, Left Exit ") + remembered);
    // Choosing it again shows the same picture.
    window->LastPicture1Click();
    EXPECT_EQ(window->state().currentPicture, remembered);
}

TEST_F(PictureWindowTest, NewPictureInFixedModeShowsTheSamePictureAndRemembersItsPathInUpperCase)
{
    const QString path = picture(QStringLiteral("Fixed.bmp"), Qt::blue);
    remember(path, 1);
    auto window = open();
    window->FormActivate();
    window->NewPicture1Click();
    EXPECT_EQ(window->state().lastPicture, path.toUpper());
    EXPECT_EQ(window->state().currentPicture, path);
    EXPECT_EQ(shownColour(*window), QColor(Qt::blue));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Right Mouse Menu, Left Exit ") + path);
}
