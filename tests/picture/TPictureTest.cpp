#include "picture/TPicture.h"

#include "controls/ClickPanel.h"
#include "controls/SpinEdit.h"
#include "game/RandomGenerator.h"
#include "game/SettingsStore.h"
#include "game/TForm1.h"
#include "imaging/CodecBridge.h"
#include "imaging/TImageView.h"
#include "platform/FileSystem.h"
#include "platform/RegistryHive.h"
#include "platform/ScriptedDialogService.h"
#include "tests/picture/PictureWindowFixture.h"
#include "tests/support/TestEnvironment.h"

#include "tests/support/Actions.h"
#include "tests/support/Soon.h"
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace brisvale;
using platform::ScriptedDialogService;
using test::PictureWindowTest;

TEST_F(PictureWindowTest, CleanProfileAsksForAPictureOnceAndKeepsRandom)
{
    auto window = open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Left Mouse to Exit, Right for Menu"));
    EXPECT_EQ(window->state().currentPicture, QStringLiteral("Error"));
    EXPECT_EQ(window->markedMode(), PictureMode::Random);
    window->FormActivate();
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("You will need to first select a picture file")});
    // Closing and destroying store the mode only: no file exists.
    window.reset();
    EXPECT_EQ(stored("Mode"), QStringLiteral("2"));
    EXPECT_EQ(stored("BMPFILE"), QStringLiteral("(none)"));
}

TEST_F(PictureWindowTest, MenusHaveEveryItem)
{
    auto window = open();
    for (const char *text : {"Select Picture", "Picture Mode", "Fixed Picture", "Random Pictures", "Sequential A..Z",
                             "Special Effects", "Flip", "Rotate ", "Zoom+", "Zoom-", "Thumbnails", "New Picture",
                             "Exit", "Zoom in", "Zoom out", "Rotate", "Save Image", "Last Picture"})
        EXPECT_NE(test::actionByText(window.get(), QString::fromLatin1(text)), nullptr) << text;
    QStringList popup;
    for (QAction *a : window->PopupMenu1->actions())
        popup << a->text();
    EXPECT_EQ(popup, (QStringList{"Zoom in", "Zoom out", "Exit", "Flip", "Rotate", "New Picture", "Save Image",
                                  "Last Picture"}));
    EXPECT_TRUE(window->ImageView1->AutoSize());
    EXPECT_TRUE(window->ImageView1->Center());
    EXPECT_TRUE(window->ImageView1->StretchRatio());
    EXPECT_EQ(window->ImageView1->JPegSaveQuality(), 25);
    EXPECT_EQ(window->ImageView1->JPegSaveSmooth(), 0);
}

TEST_F(PictureWindowTest, AStoredModeOfSevenIsWrittenBackAsRandom)
{
    const QString path = picture(QStringLiteral("only.bmp"));
    remember(path, 7);
    auto window = open();
    EXPECT_EQ(window->markedMode(), PictureMode::Random);
    // The folder of the remembered picture becomes the current directory.
    EXPECT_EQ(QFileInfo(platform::fs::currentDirectory()).canonicalFilePath(), QFileInfo(folder).canonicalFilePath());
    window.reset();
    EXPECT_EQ(stored("Mode"), QStringLiteral("2"));
    EXPECT_EQ(stored("BMPFILE"), path);
}

TEST_F(PictureWindowTest, RandomModeCountsAndShowsTheDrawnFile)
{
    remember(picture(QStringLiteral("only.bmp")), 2);
    auto window = open();
    window->FormActivate();
    const QString shown = folder + u'/';
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Right Mouse Menu, Left Exits ") + shown + "only.bmp");
    EXPECT_EQ(window->ImageView1->statusText(), (shown + "only.bmp").toUpper());
    EXPECT_FALSE(window->ImageView1->Picture().isEmpty());

    // Several files: with the clock at midnight the first draw below 3 is 0.
    picture(QStringLiteral("Beta.BMP"), Qt::green);
    picture(QStringLiteral("gamma.bmp"), Qt::blue);
    window->FormActivate();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Right Mouse Menu, Left Exits ") + shown + "Beta.BMP");
    EXPECT_EQ(QColor(window->ImageView1->Picture().bitmap.image().pixel(0, 0)), QColor(Qt::green));
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(PictureWindowTest, SequentialModeWalksMixedCaseNamesAndWraps)
{
    picture(QStringLiteral("A.bmp"));
    picture(QStringLiteral("b.BMP"));
    remember(folder + QStringLiteral("/a.BMP"), 3); // stored in another letter case
    auto window = open();
    ASSERT_EQ(window->markedMode(), PictureMode::Sequential);
    const QString shown = folder + u'/';
    window->FormActivate();
    EXPECT_EQ(window->state().currentPicture, shown + "b.BMP");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Right Mouse Menu, Left Exits ") + shown + "b.BMP");
    EXPECT_FALSE(window->ImageView1->Picture().isEmpty());
    window->FormActivate();
    EXPECT_EQ(window->state().currentPicture, shown + "A.bmp");
    window.reset();
    EXPECT_EQ(stored("BMPFILE"), shown + "A.bmp");
}

TEST_F(PictureWindowTest, SelectPictureShowsStoresAndMovesTheFolder)
{
    const QString gif = folder + QStringLiteral("/photo.gif");
    Bitmap bitmap;
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    bitmap.setImage(image);
    ASSERT_TRUE(WriteGIFFile(gif, 8, bitmap, CodecProgress()));
    remember(picture(QStringLiteral("old.jpg")), 1);
    auto window = open();
    window->SequentialAZ1Click();
    script.queueOpenFile(gif);
    window->PictureCClick();
    const auto &request = script.entries().back().request;
    EXPECT_EQ(request.filter, QStringLiteral("JPG files (*.JPG)|*.JPG|BMP files (*.BMP)|*.BMP|GIF files (*.GIF)|*.GIF"
                                             "|PCX files (*.PCX)|*.PCX|WebP, AVIF and HEIC files"
                                             " (*.WEBP;*.AVIF;*.HEIC;*.HEIF)|*.WEBP;*.AVIF;*.HEIC;*.HEIF"));
    EXPECT_EQ(request.fileName, folder + QStringLiteral("/old.jpg"));
    EXPECT_EQ(window->windowTitle(), gif);
    EXPECT_EQ(window->ImageView1->Picture().size(), QSize(10, 10));
    EXPECT_EQ(window->state().currentPicture, gif);
    EXPECT_EQ(window->state().fileMask, QStringLiteral("*.GIF"));
    EXPECT_EQ(stored("BMPFILE"), gif);
    EXPECT_EQ(stored("Mode"), QStringLiteral("3"));

    // The next choice offers GIF first.
    window->PictureCClick();
    EXPECT_TRUE(script.entries().back().request.filter.startsWith(QStringLiteral("GIF files (*.GIF)|*.GIF|BMP")));
}

TEST_F(PictureWindowTest, CancelledSelectionShowsTheCastleAndTheHint)
{
    const QString path = picture(QStringLiteral("kept.bmp"));
    remember(path, 1);
    auto window = open();
    window->PictureCClick(); // the script answers cancel
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("Use File Picture to set the Picture BMP, GIF,JPG, or PCX file or directory"));
    EXPECT_TRUE(window->ImageView1->statusText().endsWith(QStringLiteral("/CASTLE.BMP")));
    EXPECT_EQ(window->ImageView1->Picture().size(), QSize(640, 480));
    EXPECT_EQ(window->state().currentPicture, path);
    EXPECT_EQ(stored("BMPFILE"), path);
}

TEST_F(PictureWindowTest, NewAndLastPicture)
{
    picture(QStringLiteral("one.bmp"), Qt::red);
    picture(QStringLiteral("two.bmp"), Qt::green);
    remember(folder + QStringLiteral("/one.bmp"), 3);
    auto window = open();
    window->LastPicture1Click(); // before any New Picture: the remembered picture
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Right Mouse Menu, Left Exit ") + folder + "/one.bmp");
    window->NewPicture1Click();
    EXPECT_EQ(window->state().lastPicture, folder + "/one.bmp");
    EXPECT_EQ(QColor(window->ImageView1->Picture().bitmap.image().pixel(0, 0)), QColor(Qt::green));
    window->LastPicture1Click();
    EXPECT_EQ(QColor(window->ImageView1->Picture().bitmap.image().pixel(0, 0)), QColor(Qt::red));
    EXPECT_EQ(window->state().currentPicture, folder + "/one.bmp");
}

TEST_F(PictureWindowTest, LeftClickOnThePictureCloses)
{
    remember(picture(QStringLiteral("x.bmp")), 1);
    auto window = open();
    window->FormActivate();
    ASSERT_TRUE(window->isVisible());
    QTest::mouseClick(window->ImageView1, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PictureWindowTest, EscapeClosesAlsoAfterTheMenuBarHadTheKeys)
{
    remember(picture(QStringLiteral("x.bmp")), 1);
    auto window = open();
    window->FormActivate();
    QApplication::setActiveWindow(window.get());
    // Alt then Escape: the bar is closed again but keeps the focus.
    window->MainMenu1->setFocus(Qt::MenuBarFocusReason);
    for (int shown = 0; shown < 2; ++shown) {
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(window->MainMenu1->hasFocus());
        QTest::keyClick(window->MainMenu1, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }
}

TEST(RewardFlow, ThePauseKeepsTheTableLiveAndThenOpensThePicture)
{
    ScriptedDialogService script;
    platform::setDialogService(&script);
    TForm1 form;
    form.show();
    QStringList order;
    form.setPictureWindow([&] { order << QStringLiteral("picture"); });
    form.SpinEdit1->setValue(1);

    std::uint32_t seed = 1;
    for (;; ++seed) {
        RandomGenerator g;
        g.setSeed(seed);
        Deck d;
        if (Evaluate(d.deal(g)).rank >= TwoPair)
            break;
    }
    randomGenerator().setSeed(seed);
    form.ShuffleClick();
    for (ClickPanel *panel : form.HoldPanel)
        QTest::mouseClick(panel, Qt::LeftButton);
    // A click on the table during the pause is handled before the picture opens.
    QTimer::singleShot(200, &form, [&] {
        QTest::mouseClick(form.SpeedButton5, Qt::LeftButton);
        order << QStringLiteral("stats");
    });
    QElapsedTimer clock;
    clock.start();
    form.SecondClick();
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_EQ(order, (QStringList{"stats", "picture"}));
    EXPECT_TRUE(form.Cash->text().startsWith(QStringLiteral("Player has Won 1 hands")));
    platform::setDialogService(nullptr);
}

TEST_F(PictureWindowTest, AMessageFileScrollsAcrossTheWholeArea)
{
    // A small picture first, so the control starts in its box.
    remember(picture(QStringLiteral("small.bmp")), 1);
    auto window = open();
    window->FormActivate();
    const QString scm = folder + QStringLiteral("/hello.scm");
    QFile f(scm);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("/fc|65535/fh|-12/fn|Sans/fs|/ft|/bc|0/sm|Hello/eo|");
    f.close();
    window->state().currentPicture = scm;
    window->FormActivate();
    const ScrollingMessage &message = window->ImageView1->message();
    ASSERT_TRUE(message.horizontal());
    EXPECT_EQ(message.position().y(), (window->ImageView1->height() - message.bandSize().height()) / 2);
    const int x0 = message.position().x();
    ASSERT_SOON(message.position().x() < x0, 5000);
}
