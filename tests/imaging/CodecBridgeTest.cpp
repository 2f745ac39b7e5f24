#include "imaging/CodecBridge.h"

#include "imaging/DisplayDepth.h"
#include "imaging/MediaTypes.h"
#include "imaging/ResourceBitmap.h"
#include "imaging/SharedPalette.h"
#include "imaging/StretchedRead.h"
#include "imaging/WindowCapture.h"
#include "imaging/codec/ColorReduce.h"
#include "platform/ScriptedDialogService.h"
#include "tests/imaging/CodecTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace brisvale;

namespace {

QString fixture(const char *name) { return QString::fromStdString(test::fixturePath(QString::fromLatin1(name))); }

class CodecBridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&dialogs);
        ASSERT_TRUE(LoadCodecLibrary());
        SetMediaHandlerProbe({});
    }
    void TearDown() override
    {
        platform::setDialogService(nullptr);
        ClearSharedPalette();
        SetMediaHandlerProbe({});
    }
    platform::ScriptedDialogService dialogs;
};

// A GIF of a few bytes: a screen of the given size, white, with one pixel of
// colour (10, 20, 30) at its top left.
QString screenGif(const QString &path, int width, int height)
{
    QByteArray gif("GIF89a");
    const uint8_t screen[] = {uint8_t(width),
                              uint8_t(width >> 8),
                              uint8_t(height),
                              uint8_t(height >> 8),
                              0x80,
                              0,
                              0,
                              10,
                              20,
                              30,
                              255,
                              255,
                              255};
    gif.append(reinterpret_cast<const char *>(screen), sizeof screen);
    gif.append("\x2c\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0\x3b", 16);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(gif);
    return path;
}

QList<QRgb> vgaColours()
{
    QList<QRgb> out;
    for (const codec::Rgb &c : codec::vgaPalette())
        out.push_back(qRgb(c.r, c.g, c.b));
    return out;
}

} // namespace

TEST_F(CodecBridge, ReadsGiveTheBitmapKindOfEachDepthCode)
{
    Bitmap bitmap;
    ASSERT_TRUE(ReadBMPFile(fixture("bmp_24.bmp"), 24, 0, {}, bitmap));
    EXPECT_EQ(bitmap.image().format(), QImage::Format_BGR888);
    EXPECT_TRUE(bitmap.palette().isEmpty());
    ASSERT_TRUE(ReadBMPFile(fixture("bmp_24.bmp"), 8, 1, {}, bitmap));
    EXPECT_EQ(bitmap.image().format(), QImage::Format_Indexed8);
    EXPECT_LE(bitmap.palette().size(), 256);
    ASSERT_TRUE(ReadBMPFile(fixture("bmp_24.bmp"), 4, 1, {}, bitmap));
    EXPECT_EQ(bitmap.image().colorCount(), 16);
    ASSERT_TRUE(ReadBMPFile(fixture("bmp_24.bmp"), 1, 1, {}, bitmap));
    EXPECT_EQ(bitmap.image().format(), QImage::Format_Mono);
    ASSERT_TRUE(ReadBMPFile(fixture("bmp_24.bmp"), 0, 1, {}, bitmap));
    EXPECT_EQ(bitmap.palette(), vgaColours());
    EXPECT_TRUE(dialogs.entries().empty());

    // Each reader, through its wrapper, sees what the reference decoder sees.
    const struct {
        bool (*read)(const QString &, int, int, const CodecProgress &, Bitmap &);
        const char *file;
    } readers[] = {{ReadBMPFile, "bmp_8.bmp"},
                   {ReadGIFFile, "gif_64.gif"},
                   {ReadTIFFile, "tif_lzw.tif"},
                   {ReadPCXFile, "pcx_24.pcx"},
                   {ReadPNGFile, "png_rgb8.png"}};
    for (const auto &r : readers) {
        SCOPED_TRACE(r.file);
        ASSERT_TRUE(r.read(fixture(r.file), 24, 0, {}, bitmap));
        QString ref = fixture(r.file);
        ref.replace(ref.size() - 3, 3, QStringLiteral("ppm"));
        EXPECT_EQ(test::maxDifference(bitmap.image(), QImage(ref)), 0);
    }
    ASSERT_TRUE(ReadJPGFile(fixture("jpg_baseline.jpg"), 24, 0, {}, bitmap));
    EXPECT_LE(test::maxDifference(bitmap.image(), QImage(fixture("jpg_baseline.jpg"))), 4);
}

TEST_F(CodecBridge, AFailedReadShowsTheLibrarysTextAndLeavesNoBitmap)
{
    Bitmap bitmap;
    ASSERT_TRUE(ReadBMPFile(fixture("bmp_24.bmp"), 24, 0, {}, bitmap));
    EXPECT_FALSE(ReadPCXFile(fixture("bmp_24.bmp"), 24, 0, {}, bitmap));
    EXPECT_TRUE(bitmap.isEmpty());
    EXPECT_FALSE(ReadGIFFile(fixture("no such picture.gif"), 24, 0, {}, bitmap));
    ASSERT_EQ(dialogs.entries().size(), 2u);
    EXPECT_EQ(dialogs.entries()[0].kind, platform::ScriptedDialogService::Kind::Error);
    EXPECT_EQ(dialogs.texts(), (QStringList{QStringLiteral("Not a PCX file"), QStringLiteral("Cannot open the file")}));

    dialogs.clear();
    std::vector<int> seen;
    EXPECT_FALSE(ReadPNGFile(
        fixture("png_rgb8.png"), 24, 0,
        [&](int32_t p) {
            seen.push_back(p);
            return p >= 50 ? 0 : 1;
        },
        bitmap));
    EXPECT_TRUE(bitmap.isEmpty());
    EXPECT_GE(seen.back(), 50);
    EXPECT_LT(seen.back(), 100);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Stopped")});
}

// A picture within the pixel limit that memory cannot hold: the read fails
// with its own status and text, and hands out no picture.
TEST_F(CodecBridge, APictureThatCannotBeAllocatedFailsWithItsText)
{
    QTemporaryDir dir;
    const QString path = screenGif(dir.filePath(QStringLiteral("big.gif")), 12000, 10000);
    const int result = test::runWithMemoryCap(size_t(64) << 20, [&] {
        Bitmap bitmap;
        const bool ok = ReadGIFFile(path, 8, 0, {}, bitmap);
        return !ok && bitmap.isEmpty()
               && dialogs.texts() == QStringList{QStringLiteral("Not enough memory for the picture")};
    });
    EXPECT_EQ(result, 1);
}

// A 30-megapixel picture read at 24 bits is 90 MB as the bitmap holds it.
// Handing it over must neither hold the library's copy beside the bitmap's
// nor widen it to four bytes a pixel (either would need 120 MB or more), so
// it fits in 115 MB of room.
TEST_F(CodecBridge, APictureIsHandedOverWithoutASecondCopy)
{
    QTemporaryDir dir;
    const QString path = screenGif(dir.filePath(QStringLiteral("wide.gif")), 6000, 5000);
    const int result = test::runWithMemoryCap(size_t(115) << 20, [&] {
        Bitmap bitmap;
        if (!ReadGIFFile(path, 24, 0, {}, bitmap))
            return -1;
        return bitmap.image().format() == QImage::Format_BGR888 && bitmap.width() == 6000
                       && bitmap.image().pixel(5999, 4999) == qRgb(255, 255, 255)
                       && bitmap.image().pixel(0, 0) == qRgb(10, 20, 30)
                   ? 1
                   : 0;
    });
    EXPECT_EQ(result, 1);
}

// A picture shrunk while it is read must come out as the whole picture
// shrunk: rows in the right order, palettes applied, the uncovered screen of
// a GIF filled, damage still reported.
TEST_F(CodecBridge, ShrinkingWhileReadingGivesTheWholeReadsPixels)
{
    QTemporaryDir dir;
    QStringList paths;
    for (const char *name : {"bmp_1.bmp",           "bmp_4.bmp",          "bmp_8.bmp",       "bmp_24.bmp",
                             "bmp_32.bmp",          "bmp_v5_alpha.bmp",   "bmp_rle8.bmp",    "gif_64.gif",
                             "gif_transparent.gif", "gif_interlaced.gif", "png_g2.png",      "png_p4_trns.png",
                             "png_rgb16.png",       "png_rgba8.png",      "png_ga8.png",     "png_rgb8_interlaced.png",
                             "tif_none.tif",        "tif_palette.tif",    "tif_tiled.tif",   "tifo_2.tif",
                             "tifo_4.tif",          "pcx_1.pcx",          "pcx_4planes.pcx", "pcx_8.pcx",
                             "pcx_24.pcx"})
        paths << fixture(name);
    paths << screenGif(dir.filePath(QStringLiteral("screen.gif")), 40, 30);
    // The same rows stored from the top down, and files that end too soon.
    QFile bmp(fixture("bmp_24.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    QByteArray topDown = bmp.readAll();
    const char minus43[] = {char(0xd5), char(0xff), char(0xff), char(0xff)};
    topDown.replace(22, 4, minus43, 4);
    for (const auto &[name, bytes] : {std::pair{"topdown.bmp", topDown}, std::pair{"cut.bmp", topDown.left(4000)}}) {
        QFile out(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        paths << out.fileName();
    }
    for (const char *name : {"png_rgb8.png", "pcx_24.pcx", "gif_64.gif"}) {
        QFile in(fixture(name));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        QFile out(dir.filePath(QStringLiteral("cut-") + QLatin1String(name)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(in.readAll().left(int(in.size() / 2)));
        paths << out.fileName();
    }
    const QSize box(13, 9);
    for (const QString &path : paths) {
        SCOPED_TRACE(path.toStdString());
        const BoxPicture streamed = DecodeStretched(path, box, 24, false, Qt::gray, {}, true);
        const BoxPicture whole = DecodeStretched(path, box, 24, false, Qt::gray, {}, false);
        EXPECT_EQ(codec::succeeded(streamed.status), codec::succeeded(whole.status));
        EXPECT_EQ(streamed.bitmap.image(), whole.bitmap.image());
    }
}

// Shrunk while it is read, a picture that would take 140 MB whole fits in 40.
TEST_F(CodecBridge, APictureShrunkWhileReadIsNeverWholeInMemory)
{
    QTemporaryDir dir;
    const QString path = screenGif(dir.filePath(QStringLiteral("wide.gif")), 8000, 6000);
    const int result = test::runWithMemoryCap(size_t(40) << 20, [&] {
        const BoxPicture read = DecodeStretched(path, QSize(60, 50), 24, false, Qt::gray, {}, true);
        return codec::succeeded(read.status) && read.bitmap.image().pixel(30, 25) == qRgb(255, 255, 255) ? 1 : 0;
    });
    EXPECT_EQ(result, 1);
}

TEST_F(CodecBridge, StatusZeroFailsAndOneSucceeds)
{
    ShowCodecError(0);
    ShowCodecError(-13);
    EXPECT_EQ(dialogs.texts(),
              (QStringList{QStringLiteral("The picture operation failed"), QStringLiteral("Stopped")}));
    dialogs.clear();
    Bitmap bitmap;
    EXPECT_TRUE(ReadBMPFile(fixture("bmp_1.bmp"), 1, 0, {}, bitmap));
    EXPECT_TRUE(dialogs.entries().empty());
}

TEST_F(CodecBridge, AnEightBitReadMapsOntoTheSharedPalette)
{
    QList<QRgb> shared = vgaColours().mid(0, 10);
    SetSharedPalette(shared);
    Bitmap bitmap;
    ASSERT_TRUE(ReadPNGFile(fixture("png_rgb8.png"), 8, 1, {}, bitmap));
    EXPECT_EQ(bitmap.palette(), shared);
    EXPECT_EQ(bitmap.image().colorTable().mid(0, 10), shared);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            ASSERT_LT(bitmap.image().pixelIndex(x, y), 10);
    // At 24 bits the shared palette plays no part.
    ASSERT_TRUE(ReadPNGFile(fixture("png_rgb8.png"), 24, 1, {}, bitmap));
    EXPECT_TRUE(bitmap.palette().isEmpty());
    LoadCodecLibrary();
    EXPECT_TRUE(SharedPalette().isEmpty());
}

TEST_F(CodecBridge, WritesRoundTripAndFailuresAreReported)
{
    QTemporaryDir dir;
    Bitmap source;
    ASSERT_TRUE(ReadBMPFile(fixture("bmp_24.bmp"), 24, 0, {}, source));
    Bitmap back;
    ASSERT_TRUE(WriteBMPFile(dir.filePath(QStringLiteral("a.bmp")), 24, source, {}));
    ASSERT_TRUE(ReadBMPFile(dir.filePath(QStringLiteral("a.bmp")), 24, 0, {}, back));
    EXPECT_EQ(test::maxDifference(back.image(), source.image()), 0);
    ASSERT_TRUE(WritePCXFile(dir.filePath(QStringLiteral("a.pcx")), 24, source, {}));
    ASSERT_TRUE(ReadPCXFile(dir.filePath(QStringLiteral("a.pcx")), 24, 0, {}, back));
    EXPECT_EQ(test::maxDifference(back.image(), source.image()), 0);
    ASSERT_TRUE(WriteGIFFile(dir.filePath(QStringLiteral("a.gif")), 8, source, {}));
    ASSERT_TRUE(ReadGIFFile(dir.filePath(QStringLiteral("a.gif")), 8, 0, {}, back));
    EXPECT_EQ(test::maxDifference(back.image(), QImage(dir.filePath(QStringLiteral("a.gif")))), 0);
    ASSERT_TRUE(WriteJPGFile(dir.filePath(QStringLiteral("a.jpg")), 90, 0, 24, source, {}));
    EXPECT_LT(test::meanDifference(QImage(dir.filePath(QStringLiteral("a.jpg"))), source.image()), 8.0);

    // A picture with transparency is written on white.
    Bitmap clear;
    QImage transparent(4, 4, QImage::Format_ARGB32);
    transparent.fill(Qt::transparent);
    clear.setImage(transparent);
    ASSERT_TRUE(WriteBMPFile(dir.filePath(QStringLiteral("clear.bmp")), 24, clear, {}));
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("clear.bmp"))).pixel(1, 1), qRgb(255, 255, 255));

    EXPECT_TRUE(dialogs.entries().empty());
    // A file that cannot be made says where and the system's reason.
    const QString missing = dir.filePath(QStringLiteral("none/a.bmp"));
    EXPECT_FALSE(WriteBMPFile(missing, 24, source, {}));
    const QString tooLong = dir.filePath(QString(300, u'n') + QStringLiteral(".jpg"));
    EXPECT_FALSE(WriteJPGFile(tooLong, 90, 0, 24, source, {}));
    EXPECT_FALSE(WriteGIFFile(dir.filePath(QStringLiteral("b.gif")), 8, Bitmap(), {}));
    EXPECT_EQ(dialogs.texts(),
              (QStringList{QStringLiteral("Cannot write the file\n") + missing
                               + QStringLiteral("\nNo such file or directory"),
                           QStringLiteral("Cannot write the file\n") + tooLong + QStringLiteral("\nFile name too long"),
                           QStringLiteral("There is no picture")}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".~")), QStringList());

    // A picture that cannot be taken into the library's form says why.
    dialogs.clear();
    const codec::Limits saved = codec::limits();
    codec::setLimits(codec::Limits{100});
    EXPECT_FALSE(WriteBMPFile(dir.filePath(QStringLiteral("c.bmp")), 24, source, {}));
    codec::setLimits(saved);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("The picture is too large")});
}

TEST_F(CodecBridge, FlipAndRotateChangeTheBitmapInPlace)
{
    QImage grid(3, 2, QImage::Format_RGB32);
    for (int i = 0; i < 6; ++i)
        grid.setPixel(i % 3, i / 3, qRgb(40 * i, 255 - 40 * i, 7 * i));
    Bitmap bitmap;
    bitmap.setImage(grid);
    ASSERT_TRUE(FlipBitmap(bitmap));
    EXPECT_EQ(test::maxDifference(bitmap.image(), grid.mirrored(false, true)), 0);
    bitmap.setImage(grid);
    ASSERT_TRUE(RotateBitmap(bitmap));
    EXPECT_EQ(bitmap.image().size(), QSize(2, 3));
    EXPECT_EQ(test::maxDifference(bitmap.image(), grid.transformed(QTransform().rotate(90))), 0);

    Bitmap indexed;
    ASSERT_TRUE(ReadGIFFile(fixture("gif_64.gif"), 8, 0, {}, indexed));
    const QImage before = indexed.image();
    ASSERT_TRUE(RotateBitmap(indexed));
    EXPECT_EQ(indexed.image().format(), QImage::Format_Indexed8);
    EXPECT_EQ(test::maxDifference(indexed.image(), before.transformed(QTransform().rotate(90))), 0);

    Bitmap empty;
    EXPECT_FALSE(FlipBitmap(empty));
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("There is no picture")});
}

TEST_F(CodecBridge, FileInformationIsHandedOutWhateverTheStatus)
{
    QString type, format;
    std::array<int, 5> figures{};
    ASSERT_TRUE(GetFileInfo(fixture("png_p8.png"), type, figures, format));
    EXPECT_EQ(type, QStringLiteral("PNG"));
    EXPECT_EQ(figures, (std::array<int, 5>{61, 43, 8, figures[3], 1}));
    EXPECT_EQ(format, QStringLiteral("PNG palette"));
    EXPECT_FALSE(GetFileInfo(fixture("nothing.png"), type, figures, format));
    EXPECT_EQ(type, QStringLiteral("ERR"));
    EXPECT_EQ(figures, (std::array<int, 5>{-1, -1, -1, -1, -1}));
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Cannot open the file")});
}

TEST_F(CodecBridge, ResourceBitmapsByNameAndByNumber)
{
    Bitmap bitmap;
    ASSERT_TRUE(ReadResourceBitmap(QString(), QStringLiteral("castle"), nullptr, bitmap));
    ASSERT_EQ(bitmap.image().size(), QSize(5, 3));
    // Four colours in use, as the header says: the table has four entries.
    EXPECT_EQ(bitmap.palette().mid(0, 4),
              (QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)}));
    EXPECT_EQ(bitmap.image().pixel(0, 2), qRgb(255, 0, 0));
    EXPECT_EQ(bitmap.image().pixel(0, 0), qRgb(0, 0, 255));

    // 120 reads as a number: the bitmap numbered 120, 24 bits, no colour
    // table, pixels right after the header (its file header's offset is wrong).
    ASSERT_TRUE(ReadResourceBitmap(QString(), QStringLiteral("120"), nullptr, bitmap));
    ASSERT_EQ(bitmap.image().size(), QSize(4, 2));
    EXPECT_TRUE(bitmap.palette().isEmpty());
    EXPECT_EQ(bitmap.image().pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(bitmap.image().pixel(3, 1), qRgb(100, 110, 120));

    // The 12-byte header: 3-byte entries read where they are.
    ASSERT_TRUE(ReadResourceBitmap(QString(), QStringLiteral("OS2"), nullptr, bitmap));
    EXPECT_EQ(bitmap.image().pixel(0, 1), qRgb(255 - 16, 8, 16));
    EXPECT_EQ(bitmap.image().pixel(0, 0), qRgb(255 - 240, 120, 240));
    // Bit fields after a 40-byte header are masks, not colours.
    ASSERT_TRUE(ReadResourceBitmap(QString(), QStringLiteral("FIELDS"), nullptr, bitmap));
    EXPECT_EQ(bitmap.image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(bitmap.image().pixel(1, 0), qRgb(0, 0, 255));

    Bitmap untouched;
    EXPECT_FALSE(ReadResourceBitmap(QString(), QStringLiteral("NOSUCH"), nullptr, untouched));
    EXPECT_FALSE(ReadResourceBitmap(QString(), QStringLiteral("#120"), nullptr, untouched));
    EXPECT_FALSE(
        ReadResourceBitmap(QStringLiteral("/no/such/module.rcc"), QStringLiteral("CASTLE"), nullptr, untouched));
    EXPECT_TRUE(untouched.isEmpty());
    EXPECT_TRUE(dialogs.entries().empty());
}

TEST_F(CodecBridge, DisplayColorDepthMapsBitsToCodes)
{
    const std::pair<int, int> table[] = {{1, 4}, {4, 4}, {5, 8}, {8, 8}, {15, 8}, {16, 24}, {24, 24}, {32, 24}};
    for (auto [bits, code] : table)
        EXPECT_EQ(DepthCodeForBits(bits), code) << bits;
    QImage mono(2, 2, QImage::Format_Mono), indexed(2, 2, QImage::Format_Indexed8), rgb16(2, 2, QImage::Format_RGB16),
        rgb32(2, 2, QImage::Format_RGB32);
    EXPECT_EQ(DisplayColorDepth(&mono), 4);
    EXPECT_EQ(DisplayColorDepth(&indexed), 8);
    EXPECT_EQ(DisplayColorDepth(&rgb16), 24);
    EXPECT_EQ(DisplayColorDepth(&rgb32), 24);
}

TEST_F(CodecBridge, MediaFilterNamesOnlyHandledMedia)
{
    SetMediaHandlerProbe([](const QString &) { return false; });
    EXPECT_EQ(MediaFilter(), QStringLiteral("All Media|*.BMP;*.CMS;*.GIF;*.JPG;*.PCX;*.PNG;*.SCM;*.TIF;"
                                            "|BMP|*.BMP|CMS|*.CMS|GIF|*.GIF|JPG|*.JPG|PCX|*.PCX|PNG|*.PNG|RTF|*.RTF"
                                            "|SCM|*.SCM|TIF|*.TIF"));
    QStringList asked;
    SetMediaHandlerProbe([&](const QString &ext) {
        asked << ext;
        return ext == QLatin1String("WAV") || ext == QLatin1String("AVI");
    });
    EXPECT_EQ(MediaFilter(), QStringLiteral("All Media|*.BMP;*.CMS;*.GIF;*.JPG;*.PCX;*.PNG;*.SCM;*.TIF;*.WAV;*.AVI;"
                                            "|BMP|*.BMP|CMS|*.CMS|GIF|*.GIF|JPG|*.JPG|PCX|*.PCX|PNG|*.PNG|RTF|*.RTF"
                                            "|SCM|*.SCM|TIF|*.TIF|Wav|*.WAV|AVI|*.AVI"));
    EXPECT_EQ(asked, (QStringList{"WAV", "MID", "RMI", "AVI", "MOV"}));
    EXPECT_TRUE(HasMciHandler(QStringLiteral("WAV")));
    EXPECT_FALSE(HasMciHandler(QStringLiteral("MID")));
}

TEST_F(CodecBridge, CaptureWindowCopiesTheWindowsPixels)
{
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(10, 200, 30));
    window.setPalette(pal);
    window.resize(80, 50);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Bitmap bitmap;
    CaptureWindow(&window, bitmap);
    ASSERT_FALSE(bitmap.isEmpty());
    EXPECT_GE(bitmap.width(), 80);
    EXPECT_GE(bitmap.height(), 50);
    EXPECT_EQ(bitmap.image().pixel(bitmap.width() / 2, bitmap.height() / 2), qRgb(10, 200, 30));
}
