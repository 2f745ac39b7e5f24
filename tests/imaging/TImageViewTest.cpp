#include "imaging/TImageView.h"

#include "imaging/CodecBridge.h"
#include "imaging/SharedPalette.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTest>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace brisvale;
using platform::ScriptedDialogService;

namespace {

QImage solid(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

class ImageViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&script);
        folder = test::freshFolder(QStringLiteral("view"));
        view = std::make_unique<TImageView>();
        view->setColor(Qt::blue);
        view->setImageReadRes(TLoadResolution::lColorTrue);
    }
    void TearDown() override { platform::setDialogService(nullptr); }

    QString save(const QImage &image, const QString &name)
    {
        const QString path = folder + u'/' + name;
        EXPECT_TRUE(image.save(path, name.section(u'.', -1).left(3).toUpper() == u"BMP" ? "BMP" : nullptr));
        return path;
    }
    QString copyOf(const QString &source, const QString &name)
    {
        const QString path = folder + u'/' + name;
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(source, path)) << source.toStdString();
        return path;
    }
    static QString crasher(const char *name)
    {
        return QString::fromLocal8Bit(qgetenv("BRISVALE_CODEC_CRASHERS")) + u'/' + QLatin1String(name);
    }
    static QString fixture(const char *name)
    {
        return QString::fromLocal8Bit(qgetenv("BRISVALE_CODEC_FIXTURES")) + u'/' + QLatin1String(name);
    }
    QImage painted() { return view->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    ScriptedDialogService script;
    QString folder;
    std::unique_ptr<TImageView> view;
};

} // namespace

TEST_F(ImageViewTest, DefaultsAndSetterRules)
{
    TImageView fresh;
    EXPECT_EQ(fresh.size(), QSize(105, 105));
    EXPECT_FALSE(fresh.AutoSize());
    EXPECT_TRUE(fresh.CodecPalette());
    EXPECT_TRUE(fresh.ImageDither());
    EXPECT_EQ(fresh.ImageReadRes(), TLoadResolution::lAutoMatic);
    EXPECT_EQ(fresh.ImageWriteRes(), TSaveResolution::sAutoMatic);
    EXPECT_EQ(fresh.JPegSaveQuality(), 25);
    EXPECT_EQ(fresh.JPegSaveSmooth(), 0);
    EXPECT_TRUE(fresh.UseTwainWindow());
    EXPECT_TRUE(fresh.TextTransParent());
    EXPECT_TRUE(fresh.Picture().isEmpty());
    EXPECT_EQ(fresh.zoom().inset, 0);

    fresh.setJPegSaveQuality(0);
    EXPECT_EQ(fresh.JPegSaveQuality(), 25);
    fresh.setJPegSaveQuality(101);
    EXPECT_EQ(fresh.JPegSaveQuality(), 25);
    fresh.setJPegSaveQuality(80);
    EXPECT_EQ(fresh.JPegSaveQuality(), 80);
    fresh.setJPegSaveSmooth(101);
    EXPECT_EQ(fresh.JPegSaveSmooth(), 5);
    fresh.setJPegSaveSmooth(100);
    EXPECT_EQ(fresh.JPegSaveSmooth(), 100);

    fresh.setStretch(true);
    fresh.setStretchRatio(true);
    EXPECT_FALSE(fresh.Stretch());
    fresh.setStretch(true);
    EXPECT_FALSE(fresh.StretchRatio());
}

TEST_F(ImageViewTest, MissingFileClearsThePicture)
{
    view->setImageName(save(solid(10, 10, Qt::red), QStringLiteral("a.bmp")));
    ASSERT_FALSE(view->Picture().isEmpty());
    view->setImageName(folder + QStringLiteral("/gone.bmp"));
    EXPECT_TRUE(view->Picture().isEmpty());
    EXPECT_EQ(view->statusText(), QStringLiteral("file not found"));
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(ImageViewTest, ExtensionsAreCutToFourCharacters)
{
    const QString bmp = save(solid(12, 8, Qt::red), QStringLiteral("first.bmp"));
    view->setImageName(bmp);
    ASSERT_EQ(view->Picture().size(), QSize(12, 8));

    // ".jpeg" is ".JPE": no reader, the previous picture stays.
    const QString jpeg = folder + QStringLiteral("/a.jpeg");
    solid(20, 20, Qt::green).save(jpeg, "JPG");
    view->setImageName(jpeg);
    EXPECT_EQ(view->Picture().size(), QSize(12, 8));
    EXPECT_EQ(view->statusText(), jpeg.toUpper());

    // ".tiff" is ".TIF": read by the TIFF reader.
    view->setImageName(copyOf(fixture("tif_none.tif"), QStringLiteral("X.tiff")));
    EXPECT_EQ(view->Picture().size(), QSize(61, 43));
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(ImageViewTest, ReadingImageNameReloadsAndAnswersTheUpperCasedPath)
{
    const QString path = save(solid(4, 4, Qt::red), QStringLiteral("pic.bmp"));
    view->setImageName(path);
    save(solid(6, 5, Qt::green), QStringLiteral("pic.bmp"));
    EXPECT_EQ(view->ImageName(), path.toUpper());
    EXPECT_EQ(view->Picture().size(), QSize(6, 5)); // loaded again
    // Any letter case of the name finds the file.
    view->setImageName(folder + QStringLiteral("/PIC.BMP"));
    EXPECT_EQ(view->Picture().size(), QSize(6, 5));
    EXPECT_EQ(view->imageInfo().Width, 6);
    EXPECT_EQ(view->imageInfo().Height, 5);
    EXPECT_EQ(view->imageInfo().FileSize, QFile(path).size());
}

TEST_F(ImageViewTest, ResourceNamesNeedNoFile)
{
    view->setImageName(QStringLiteral("CASTLE.RES"));
    EXPECT_FALSE(view->Picture().isEmpty());
    EXPECT_EQ(view->statusText(), QStringLiteral("CASTLE.RES"));
    EXPECT_EQ(view->imageInfo().FileType, QStringLiteral("RES"));
    EXPECT_EQ(view->imageInfo().FormatName, QStringLiteral("BMP"));
    EXPECT_TRUE(script.texts().isEmpty());

    view->setImageName(QStringLiteral("/somewhere/NOSUCH.RES"));
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("Reading resource file failed")});
    EXPECT_TRUE(view->Picture().isEmpty());
}

// One box a file: the library's text, then the reader's own, each once
// though the file's details fail for the same reason.
TEST_F(ImageViewTest, CorruptFilesShowTheLibraryTextThenTheReadersOwnInOneBox)
{
    const struct {
        const char *crasher;
        const char *as;
        const char *failure;
    } cases[] = {
        {"bmp-zero-width.bmp", "bad.bmp", "Reading bmp file failed"},
        {"bmp-zero-width.bmp", "bad.thb", "Reading bmp file failed"},
        {"jpg-no-frame.jpg", "bad.jpg", "Reading jpg file failed"},
        {"jpg-no-frame.jpg", "bad.thj", "Reading jpg file failed"},
        {"png-ihdr-crc.png", "bad.png", "Reading png file failed"},
        {"gif-no-picture.gif", "bad.gif", "Reading gif file failed"},
        {"tif-directory-outside.tif", "bad.tif", "Reading tif file failed"},
        {"pcx-window-reversed.pcx", "bad.pcx", "Reading pcx file failed"},
    };
    for (const auto &c : cases) {
        script.clear();
        view->setImageName(copyOf(crasher(c.crasher), QString::fromLatin1(c.as)));
        ASSERT_EQ(script.texts().size(), 1) << c.as << " " << script.texts().join(u'|').toStdString();
        EXPECT_EQ(script.entries()[0].kind, ScriptedDialogService::Kind::Error) << c.as;
        const QStringList lines = script.texts().front().split(u'\n');
        ASSERT_EQ(lines.size(), 2) << c.as;
        EXPECT_FALSE(lines[0].isEmpty());
        EXPECT_EQ(lines[1], QString::fromLatin1(c.failure)) << c.as;
        EXPECT_TRUE(view->Picture().isEmpty());
        EXPECT_EQ(view->statusText(), (folder + u'/' + QString::fromLatin1(c.as)).toUpper());
    }
}

// A named pipe under a picture's or message's name is refused at once. A
// watchdog opens each pipe for writing after a while, which would free a
// reader stuck on it; it must never have to.
TEST_F(ImageViewTest, PipesAreRefusedWithoutBlocking)
{
    const QStringList names{"x.bmp", "x.jpg", "x.gif", "x.ico", "x.scm", "x.cms"};
    for (const QString &name : names)
        ASSERT_EQ(::mkfifo(QFile::encodeName(folder + u'/' + name).constData(), 0600), 0);
    std::atomic<bool> done{false}, rescued{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 100 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (done)
            return;
        rescued = true;
        for (const QString &name : names) {
            const int fd = ::open(QFile::encodeName(folder + u'/' + name).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    });
    for (const QString &name : names) {
        script.clear();
        view->setImageName(folder + u'/' + name);
        EXPECT_TRUE(view->Picture().isEmpty()) << name.toStdString();
        if (name == u"x.bmp") {
            EXPECT_EQ(script.texts(), QStringList{"Cannot open the file\nReading bmp file failed"});
        }
    }
    done = true;
    watchdog.join();
    EXPECT_FALSE(rescued);
}

TEST_F(ImageViewTest, StretchRatioBoxesOnThePaintedPixels)
{
    view->resize(200, 200);
    view->setStretchRatio(true);
    view->setImageName(save(solid(300, 100, Qt::red), QStringLiteral("wide.bmp")));
    QImage shot = painted();
    EXPECT_EQ(QColor(shot.pixel(100, 66)), QColor(Qt::blue));
    EXPECT_EQ(QColor(shot.pixel(100, 67)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(100, 133)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(100, 134)), QColor(Qt::blue));
    EXPECT_EQ(QColor(shot.pixel(0, 100)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(199, 100)), QColor(Qt::red));

    view->resize(300, 150);
    view->setImageName(save(solid(100, 300, Qt::red), QStringLiteral("tall.bmp")));
    shot = painted();
    EXPECT_EQ(QColor(shot.pixel(124, 75)), QColor(Qt::blue));
    EXPECT_EQ(QColor(shot.pixel(125, 75)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(174, 75)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(175, 75)), QColor(Qt::blue));
    EXPECT_EQ(QColor(shot.pixel(150, 0)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(150, 149)), QColor(Qt::red));
}

TEST_F(ImageViewTest, NaturalSizeCentredAndStretched)
{
    view->resize(101, 51);
    view->setImageName(save(solid(50, 20, Qt::red), QStringLiteral("small.bmp")));
    QImage shot = painted();
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(Qt::red)); // top-left without Center
    EXPECT_EQ(QColor(shot.pixel(50, 0)), QColor(Qt::blue));
    view->setCenter(true);
    shot = painted();
    EXPECT_EQ(QColor(shot.pixel(24, 15)), QColor(Qt::blue));
    EXPECT_EQ(QColor(shot.pixel(25, 15)), QColor(Qt::red)); // offset (25, 15), truncated
    EXPECT_EQ(QColor(shot.pixel(74, 34)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(75, 35)), QColor(Qt::blue));
    view->setStretch(true);
    shot = painted();
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(100, 50)), QColor(Qt::red));
}

TEST_F(ImageViewTest, ScaledPicturesAreSmoothAndZoomShowsTheInset)
{
    // Stripes one pixel wide, shrunk by half, blend instead of dropping pixels.
    QImage stripes(100, 100, QImage::Format_RGB32);
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 100; ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    view->resize(50, 50);
    view->setStretch(true);
    view->setImageName(save(stripes, QStringLiteral("stripes.bmp")));
    const QColor mid(painted().pixel(25, 25));
    EXPECT_GT(mid.red(), 60);
    EXPECT_LT(mid.red(), 200);

    // Zoom on a 50-wide picture: 10, 20, then nothing.
    QImage framed = solid(50, 50, Qt::red);
    QPainter(&framed).fillRect(10, 10, 30, 30, Qt::green);
    view->setImageName(save(framed, QStringLiteral("framed.bmp")));
    view->ZoomIn();
    EXPECT_EQ(view->zoom().inset, 10);
    EXPECT_EQ(QColor(painted().pixel(2, 2)), QColor(Qt::green)); // the red frame is zoomed away
    view->ZoomIn();
    EXPECT_EQ(view->zoom().inset, 20);
    view->ZoomIn();
    EXPECT_EQ(view->zoom().inset, 20);
    view->ZoomOut();
    view->ZoomOut();
    view->ZoomOut();
    EXPECT_EQ(view->zoom().inset, -10);
    view->ZoomOut();
    EXPECT_EQ(view->zoom().inset, -10);
    EXPECT_EQ(QColor(painted().pixel(1, 1)), QColor(Qt::blue)); // beyond the picture's edge
    // A load ends the zoom but keeps the inset.
    view->setImageName(folder + QStringLiteral("/framed.bmp"));
    EXPECT_FALSE(view->zoom().zoomed);
    EXPECT_EQ(view->zoom().inset, -10);
}

TEST_F(ImageViewTest, OverlayTextAndOnPaintComeLast)
{
    view->resize(120, 60);
    view->setImageName(save(solid(120, 60, Qt::white), QStringLiteral("white.bmp")));
    int paints = 0;
    QImage before;
    view->OnPaint = [&] { ++paints; };
    before = painted();
    EXPECT_GE(paints, 1);
    QFont bold = view->font();
    bold.setBold(true);
    bold.setPixelSize(20);
    view->setFont(bold);
    view->setText(QStringLiteral("WIN"));
    view->setTextLeft(10);
    view->setTextTop(10);
    view->setTextShadow(true);
    view->setTextShadowColor(Qt::red);
    const QImage after = painted();
    int red = 0, dark = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            const QColor c(after.pixel(x, y));
            red += c.red() > 200 && c.green() < 80;
            dark += c.red() < 80 && c.green() < 80;
        }
    EXPECT_GT(red, 10);
    EXPECT_GT(dark, 10);
    view->setTextRotate(90); // counter-clockwise: the text now runs upwards from (10, 10)
    const QImage rotated = painted();
    int below = 0;
    for (int y = 12; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            below += QColor(rotated.pixel(x, y)).red() < 80;
    EXPECT_EQ(below, 0);
}

TEST_F(ImageViewTest, FlipAndRotateGoThroughTheBridge)
{
    QImage twoRows(2, 2, QImage::Format_RGB32);
    twoRows.setPixel(0, 0, qRgb(255, 0, 0));
    twoRows.setPixel(1, 0, qRgb(255, 0, 0));
    twoRows.setPixel(0, 1, qRgb(0, 0, 255));
    twoRows.setPixel(1, 1, qRgb(0, 0, 255));
    view->setImageName(save(twoRows, QStringLiteral("rows.bmp")));
    view->FlipImage();
    EXPECT_EQ(QColor(view->Picture().bitmap.image().pixel(0, 0)), QColor(Qt::blue));
    view->RotateImage(); // a quarter turn clockwise: the top row becomes the right column
    EXPECT_EQ(QColor(view->Picture().bitmap.image().pixel(1, 0)), QColor(Qt::blue));
    EXPECT_EQ(QColor(view->Picture().bitmap.image().pixel(0, 0)), QColor(Qt::red));
}

TEST_F(ImageViewTest, WritersUseTheDepthTable)
{
    const int bmp[] = {0, 1, 4, 8, 24, 8, 24};
    const int jpg[] = {24, 1, 24, 24, 24, 1, 24};
    const int gif[] = {0, 1, 4, 8, 8, 8, 8};
    const int pcx[] = {0, 1, 4, 8, 24, 8, 24};
    view->setImageName(save(solid(16, 16, Qt::red), QStringLiteral("src.bmp")));
    for (int res = 0; res < 7; ++res) {
        view->setImageWriteRes(TSaveResolution(res));
        EXPECT_EQ(view->writeDepth(TImageView::Writer::Bmp), bmp[res]) << res; // the offscreen display is 32-bit
        EXPECT_EQ(view->writeDepth(TImageView::Writer::Jpg), jpg[res]) << res;
        EXPECT_EQ(view->writeDepth(TImageView::Writer::Gif), gif[res]) << res;
        EXPECT_EQ(view->writeDepth(TImageView::Writer::Pcx), pcx[res]) << res;

        const QString out = folder + QStringLiteral("/out%1.bmp").arg(res);
        view->SaveAsBMP(out);
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << res;
        const QByteArray header = f.read(30);
        const int bits = uchar(header[28]) | (uchar(header[29]) << 8);
        EXPECT_EQ(bits, bmp[res] == 0 ? 4 : bmp[res]) << res;
        EXPECT_FALSE(QImage(out).isNull());
    }
    view->SaveAsJPG(folder + QStringLiteral("/out.jpg"));
    view->SaveAsGIF(folder + QStringLiteral("/out.gif"));
    view->SaveAsPCX(folder + QStringLiteral("/out.pcx"));
    EXPECT_FALSE(QImage(folder + QStringLiteral("/out.jpg")).isNull());
    EXPECT_FALSE(QImage(folder + QStringLiteral("/out.gif")).isNull());
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/out.pcx")));
    EXPECT_EQ(view->DefSaveFilename(), folder + QStringLiteral("/out.pcx"));
    // An empty name writes to the remembered one.
    QFile::remove(folder + QStringLiteral("/out.pcx"));
    view->SaveAsPCX(QString());
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/out.pcx")));
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(ImageViewTest, AFailedWriteLeavesTheExistingFileAlone)
{
    const QString target = save(solid(8, 8, Qt::green), QStringLiteral("keep.bmp"));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    // Nothing on screen: the writer fails and says so.
    view->SaveAsBMP(target);
    ASSERT_EQ(script.texts().size(), 1);
    EXPECT_TRUE(script.texts().front().endsWith(QStringLiteral("Writing bmp file failed")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    // A folder that does not exist: where and why, then the writer's words,
    // in one box.
    view->setImageName(target);
    script.clear();
    const QString missing = folder + QStringLiteral("/no/such/folder/x.gif");
    view->SaveAsGIF(missing);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("Cannot write the file\n") + missing
                                          + QStringLiteral("\nNo such file or directory\nWriting gif file failed")});
}

TEST_F(ImageViewTest, ClipboardKeysAndAutoSize)
{
    view->setAutoSize(true);
    view->setImageName(save(solid(33, 22, Qt::red), QStringLiteral("clip.bmp")));
    EXPECT_EQ(view->size(), QSize(33, 22));
    QApplication::clipboard()->clear();
    QTest::keyClick(view.get(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(33, 22));
    QTest::keyClick(view.get(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_TRUE(view->Picture().isEmpty());
    QApplication::clipboard()->setImage(solid(7, 9, Qt::green));
    QTest::keyClick(view.get(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(view->Picture().size(), QSize(7, 9));
    EXPECT_EQ(view->size(), QSize(7, 9));
    QApplication::clipboard()->setImage(solid(5, 5, Qt::green));
    QTest::keyClick(view.get(), Qt::Key_V, Qt::ControlModifier); // typed control character 22
    EXPECT_EQ(view->Picture().size(), QSize(5, 5));
}

TEST_F(ImageViewTest, CaptureFromWindow)
{
    QWidget other;
    other.resize(40, 30);
    QPalette pal = other.palette();
    pal.setColor(QPalette::Window, Qt::green);
    other.setPalette(pal);
    other.setAutoFillBackground(true);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    view->CaptureFromWindow(&other);
    ASSERT_FALSE(view->Picture().isEmpty());
    EXPECT_GE(view->Picture().size().width(), 40);
    EXPECT_EQ(QColor(view->Picture().bitmap.image().pixel(20, 15)).green(), 255);
}

TEST_F(ImageViewTest, SidewaysMessageWithoutSpeedMovesEverySecondStep)
{
    const QString scm = folder + QStringLiteral("/hello.scm");
    QFile f(scm);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("/fc|65535/fh|-12/fn|Sans/fs|/ft|/bc|0/sm|Hello/eo|");
    f.close();
    view->resize(100, 40);
    view->setImageName(scm);
    ASSERT_TRUE(view->message().horizontal());
    // "/bc|" counts only when the next tag, "/sp|", is there too: the default, maroon.
    EXPECT_EQ(view->Color(), QColor(128, 0, 0));
    EXPECT_EQ(view->statusText(), scm.toUpper());
    const int x0 = view->message().position().x();
    view->postStepMessages();
    QApplication::processEvents();
    EXPECT_EQ(view->message().position().x(), x0);
    view->postStepMessages();
    QApplication::processEvents();
    EXPECT_EQ(view->message().position().x(), x0 - 1);
    EXPECT_EQ(view->imageInfo().FileType, QStringLiteral("SCM"));
    // A message is no picture: 0 x 0, where -1 marks a missing file.
    EXPECT_EQ(view->imageInfo().Width, 0);
    EXPECT_EQ(view->imageInfo().Height, 0);

    // A control resized under a running line centres it in its new height.
    const int bandHeight = view->message().bandSize().height();
    view->show();
    view->resize(100, 120);
    EXPECT_EQ(view->message().position().y(), (120 - bandHeight) / 2);

    view->StopMessages();
    EXPECT_FALSE(view->message().running());
    EXPECT_EQ(view->Color(), QColor(Qt::blue)); // the control's colour is back
}

TEST_F(ImageViewTest, TheTextShadowLiesTwoPixelsRightAndDownAtEveryAngle)
{
    view->resize(120, 120);
    QFont font = view->font();
    font.setPixelSize(30);
    view->setFont(font);
    view->setText(QStringLiteral("Lj"));
    view->setTextTransParent(true);
    view->setTextRotate(90);
    const auto withTextColor = [this](const QColor &color) {
        QPalette pal = view->palette();
        pal.setColor(QPalette::WindowText, color);
        view->setPalette(pal);
    };
    // The text alone in red, where the shadow is to go...
    view->setTextLeft(42);
    view->setTextTop(82);
    withTextColor(Qt::red);
    const QImage text = painted();
    // ...and the shadow alone, the text itself drawn invisibly.
    view->setTextLeft(40);
    view->setTextTop(80);
    withTextColor(Qt::transparent);
    view->setTextShadowColor(Qt::red);
    view->setTextShadow(true);
    EXPECT_EQ(painted(), text);
    int red = 0;
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x)
            red += QColor(text.pixel(x, y)) == QColor(Qt::red);
    EXPECT_GT(red, 20);
}

TEST_F(ImageViewTest, UpwardMessages)
{
    const QString cms = folder + QStringLiteral("/lines.cms");
    QFile f(cms);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("title\n255\n-14\nSans\n0\n0000\n65280\n0\n");
    f.close();
    view->resize(80, 60);
    view->setImageName(cms);
    EXPECT_FALSE(view->message().vertical()); // eight lines: no message
    const QImage blank = painted();
    for (int y = 0; y < 60; y += 7)
        for (int x = 0; x < 80; x += 7)
            ASSERT_EQ(QColor(blank.pixel(x, y)), QColor(Qt::blue));

    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("One\nTwo\n");
    f.close();
    view->setImageName(cms);
    ASSERT_TRUE(view->message().vertical());
    EXPECT_EQ(view->Color(), QColor(0, 255, 0));
    for (int i = 0; i < 200 && view->message().lineIndex() == 0; ++i) {
        view->postStepMessages();
        QApplication::processEvents();
    }
    EXPECT_EQ(view->message().lineIndex(), 1);

    // A number that is no number clears the picture.
    view->setImageName(save(solid(5, 5, Qt::red), QStringLiteral("p.bmp")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("title\nred\n-14\nSans\n0\n0000\n65280\n0\nmsg\n");
    f.close();
    view->setImageName(cms);
    EXPECT_TRUE(view->Picture().isEmpty());
    EXPECT_FALSE(view->message().running());
    EXPECT_EQ(view->statusText(), cms.toUpper());
}

TEST_F(ImageViewTest, IconsAndMetafiles)
{
    const QString ico = folder + QStringLiteral("/app.ico");
    ASSERT_TRUE(solid(16, 16, Qt::red).save(ico, "ICO"));
    view->setImageName(ico);
    EXPECT_EQ(view->Picture().kind, ViewPicture::Kind::Icon);
    EXPECT_EQ(view->statusText(), QStringLiteral("Non TIF, JPeg, BMP, GIF, PNG or PCX Image"));
    EXPECT_EQ(view->imageInfo().FileType, QStringLiteral("ICO"));
    EXPECT_EQ(view->imageInfo().Width, 16);

    // Metafiles are not read: the picture is cleared and the name is the status.
    const QString wmf = folder + QStringLiteral("/art.wmf");
    QFile f(wmf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xd7\xcd\xc6\x9a garbage");
    f.close();
    view->setImageName(wmf);
    EXPECT_TRUE(view->Picture().isEmpty());
    EXPECT_EQ(view->statusText(), wmf.toUpper());
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(ImageViewTest, PaletteOfferedToTheWindowSystem)
{
    QImage indexed(4, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    indexed.fill(1);
    ViewPicture picture;
    picture.kind = ViewPicture::Kind::Bitmap;
    picture.bitmap.setImage(indexed);
    picture.bitmap.setPalette(indexed.colorTable());
    view->setPicture(picture);
    EXPECT_TRUE(view->paletteForWindowSystem().isEmpty()); // painted through the codec palette
    view->setCodecPalette(false);
    EXPECT_EQ(view->paletteForWindowSystem(), indexed.colorTable());
    SetSharedPalette({qRgb(9, 9, 9)});
    EXPECT_EQ(view->paletteForWindowSystem(), QList<QRgb>{qRgb(9, 9, 9)});
    ClearSharedPalette();
}

TEST_F(ImageViewTest, ResourceInformationDescribesTheBitmap)
{
    view->setImageName(QStringLiteral("castle.res"));
    const QSize size = view->Picture().size();
    ASSERT_FALSE(size.isEmpty());
    EXPECT_EQ(view->imageInfo().Width, size.width());
    EXPECT_EQ(view->imageInfo().Height, size.height());
    EXPECT_GT(view->imageInfo().FileSize, qint64(size.width()) * size.height() / 8);
}
