#include "imaging/TImageView.h"
#include "picture/TPicture.h"
#include "tests/picture/PictureWindowFixture.h"
#include "thumbs/FilterComboBox.h"
#include "thumbs/TPictureSaveDialog.h"
#include "thumbs/TSaveForm.h"
#include "thumbs/TThumbDialog.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTimer>

using namespace brisvale;
using test::PaintCounter;
using test::PictureWindowTest;

namespace {

QColor shownColour(TPicture &window) { return QColor(window.ImageView1->Picture().bitmap.image().pixel(0, 0)); }

QImage solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
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
}

TEST_F(PictureWindowTest, NewPictureInFixedModeShowsTheSamePictureAndRemembersItsRealPath)
{
    const QString path = picture(QStringLiteral("Fixed.bmp"), Qt::blue);
    remember(path, 1);
    auto window = open();
    window->FormActivate();
    window->NewPicture1Click();
    EXPECT_EQ(window->state().lastPicture, path);
    EXPECT_EQ(window->state().currentPicture, path);
    EXPECT_EQ(shownColour(*window), QColor(Qt::blue));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Right Mouse Menu, Left Exit ") + path);
}

TEST_F(PictureWindowTest, CaseTwinsStayApartThroughNewAndLastPictureAndTheMemory)
{
    const QString lower = folder + QStringLiteral("/a.jpg");
    const QString upper = folder + QStringLiteral("/A.JPG");
    ASSERT_TRUE(solid(QSize(64, 48), Qt::red).save(lower, "JPG"));
    ASSERT_TRUE(solid(QSize(32, 24), Qt::blue).save(upper, "JPG"));
    {
        auto window = open();
        window->FormActivate();
        script.clear();
        script.queueOpenFile(lower);
        window->PictureCClick();
        ASSERT_EQ(window->ImageView1->Picture().size(), QSize(64, 48));
        window->NewPicture1Click();
        window->LastPicture1Click();
        EXPECT_EQ(window->ImageView1->Picture().size(), QSize(64, 48));
        EXPECT_EQ(window->state().currentPicture, lower);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Right Mouse Menu, Left Exit ") + lower);
    }
    EXPECT_EQ(stored("BMPFILE"), lower);
}

TEST_F(PictureWindowTest, ADamagedPictureIsToldOfOncePerOpeningAndANameNotReadKeepsWhatIsShown)
{
    const QString kept = picture(QStringLiteral("kept.bmp"), Qt::green);
    const QString damaged = folder + QStringLiteral("/broken.bmp");
    test::writeFile(damaged, QByteArray("BM") + QByteArray(60, '\x7f'));
    remember(damaged, 1);
    auto window = open();
    window->FormActivate();
    // One box: what is wrong with the file, then that reading it failed.
    ASSERT_EQ(script.texts().size(), 1) << script.texts().join(u'|').toStdString();
    EXPECT_TRUE(script.texts().front().endsWith(QStringLiteral("\nReading bmp file failed")));
    script.clear();
    window->NewPicture1Click(); // opens it once more, in fixed mode
    EXPECT_EQ(script.texts().size(), 1);

    script.clear();
    script.queueOpenFile(kept);
    window->PictureCClick();
    const QString jpeg = folder + QStringLiteral("/forest2.jpeg");
    ASSERT_TRUE(solid(QSize(8, 8), Qt::red).save(jpeg, "JPG"));
    script.clear();
    script.queueOpenFile(jpeg);
    window->PictureCClick();
    EXPECT_EQ(
        script.texts(),
        QStringList{jpeg + QStringLiteral(" cannot be shown: the picture window does not read files of this kind")});
    EXPECT_EQ(shownColour(*window), QColor(Qt::green));
    EXPECT_EQ(window->windowTitle(), kept);
    EXPECT_EQ(window->state().currentPicture, kept);
    EXPECT_EQ(stored("BMPFILE"), kept);
}

TEST_F(PictureWindowTest, SaveImageToALowerCaseJpgNameWritesAJpegAndSaysSo)
{
    remember(picture(QStringLiteral("pic.bmp"), Qt::blue), 1);
    auto window = open();
    window->FormActivate();
    const QString target = folder + QStringLiteral("/copy.jpg");
    QString initialDir;
    window->runSaveDialog = [&](TPictureSaveDialog &dialog) -> std::optional<QString> {
        initialDir = dialog.InitialDir();
        return target;
    };
    window->SaveImage1Click();
    EXPECT_EQ(initialDir, folder + u'/');
    EXPECT_TRUE(test::fileContents(target).startsWith("\xFF\xD8\xFF"));
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral(" File ") + target + QStringLiteral(" saved ")});
}

TEST_F(PictureWindowTest, ACancelledSaveWritesNothingAndSaysNothingButRepaints)
{
    remember(picture(QStringLiteral("pic.bmp")), 1);
    auto window = open();
    window->FormActivate();
    QCoreApplication::processEvents();
    PaintCounter counter;
    window->ImageView1->installEventFilter(&counter);
    window->runSaveDialog = [](TPictureSaveDialog &) -> std::optional<QString> { return std::nullopt; };
    window->SaveImage1Click();
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("pic.bmp")});
}

TEST_F(PictureWindowTest, ASaveThatWritesNothingLeavesTheExistingFileAndSaysNoSaved)
{
    // An extension without a writer.
    remember(picture(QStringLiteral("pic.bmp")), 1);
    auto window = open();
    window->FormActivate();
    const QString notes = folder + QStringLiteral("/notes.txt");
    test::writeFile(notes, "precious");
    window->runSaveDialog = [&](TPictureSaveDialog &) -> std::optional<QString> { return notes; };
    window->SaveImage1Click();
    EXPECT_EQ(test::fileContents(notes), QByteArray("precious"));
    EXPECT_EQ(script.texts(),
              QStringList{notes + QStringLiteral(" cannot be saved: use a name ending in .BMP, .GIF, .JPG or .PCX")});
    script.clear();

    // A write that fails: there is no picture to write.
    const QString old = folder + QStringLiteral("/old.bmp");
    test::writeFile(old, "precious");
    window->ImageView1->setImageName(folder + QStringLiteral("/missing.bmp"));
    window->runSaveDialog = [&](TPictureSaveDialog &) -> std::optional<QString> { return old; };
    window->SaveImage1Click();
    EXPECT_EQ(test::fileContents(old), QByteArray("precious"));
    for (const QString &text : script.texts())
        EXPECT_FALSE(text.endsWith(QStringLiteral(" saved "))) << text.toStdString();
}

TEST_F(PictureWindowTest, TheSaveDialogOffersOnlyTheTypesThatAreWrittenAndSaysSoOfAnyOtherName)
{
    remember(picture(QStringLiteral("pic.bmp")), 1);
    auto window = open();
    window->FormActivate();
    QStringList types;
    bool stayedOpen = false;
    window->runSaveDialog = [&](TPictureSaveDialog &dialog) -> std::optional<QString> {
        QTimer::singleShot(0, [&] {
            TSaveForm &form = *dialog.Form();
            for (int i = 0; i < form.FilterComboBox1->count(); ++i)
                types << form.FilterComboBox1->itemText(i);
            form.Edit1->setText(QStringLiteral("phone.webp"));
            form.OKBtnClick();
            stayedOpen = form.isVisible();
            form.CancelBtnClick();
        });
        return dialog.Execute() ? std::optional<QString>(dialog.FileName()) : std::nullopt;
    };
    window->SaveImage1Click();
    EXPECT_EQ(types, (QStringList{"All Pixs", "BMP", "GIF", "JPG", "PCX"}));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(script.texts(), QStringList{folder
                                          + QStringLiteral("/phone.webp cannot be saved: use a name ending in "
                                                           ".BMP, .GIF, .JPG or .PCX")});
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("pic.bmp")});
}

TEST_F(PictureWindowTest, ThumbnailsShowThePickedPictureOnceARunAndSequentialModeGoesOnAfterTheRememberedOne)
{
    picture(QStringLiteral("a.bmp"), Qt::red);
    picture(QStringLiteral("b.bmp"), Qt::green);
    picture(QStringLiteral("c.bmp"), Qt::blue);
    remember(folder + QStringLiteral("/a.bmp"), 3);
    auto window = open();
    window->FormActivate(); // on to b
    const QString current = window->state().currentPicture;
    const QString caption = window->windowTitle();
    int runs = 0;
    window->runThumbDialog = [&](TThumbDialog &dialog) -> std::optional<QString> {
        ++runs;
        // The previews live beside the pictures, under the folder's real name.
        EXPECT_EQ(QStringList({dialog.PreviewsDir, dialog.DataFileDir, dialog.InitialDir}),
                  QStringList({folder, folder, folder}));
        return folder + QStringLiteral("/a.bmp");
    };
    window->ThumbnailsClick();
    EXPECT_EQ(shownColour(*window), QColor(Qt::red));
    EXPECT_EQ(window->state().currentPicture, current);
    EXPECT_TRUE(window->state().lastPicture.isEmpty());
    EXPECT_EQ(window->windowTitle(), caption);

    window->ThumbnailsClick();
    EXPECT_EQ(runs, 1);

    window->NewPicture1Click();
    EXPECT_EQ(shownColour(*window), QColor(Qt::blue)); // after b, not after the picked a
}
