#include "tests/imaging/CodecTestSupport.h"

#include "imaging/codec/Bmp.h"
#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileIO.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

using namespace brisvale;
using namespace brisvale::codec;
using brisvale::test::fixturePath;

namespace {

struct Fixture {
    const char *file;
    int tolerance; // largest channel difference allowed against the reference
};

// Every file was made by a standard tool; NAME.ppm beside it is the reference
// decoder's view of the same pixels.
const Fixture kLossless[] = {
    {"bmp_1.bmp", 0},
    {"bmp_4.bmp", 0},
    {"bmp_8.bmp", 0},
    {"bmp_rle8.bmp", 0},
    {"bmp_24.bmp", 0},
    {"bmp_os2_8.bmp", 0},
    {"bmp_os2_24.bmp", 0},
    {"bmp_v4_24.bmp", 0},
    {"bmp_v5_24.bmp", 0},
    {"bmp_565.bmp", 1},
    {"bmp_555.bmp", 1},
    {"bmp_32.bmp", 0},
    // The reference widens 4-bit values by shifting (15 gives 240), we by
    // repeating them (15 gives 255), as the format means.
    {"bmp_v5_alpha.bmp", 1},
    {"bmp_4444.bmp", 15},
    {"pcx_1.pcx", 0},
    {"pcx_4planes.pcx", 0},
    {"pcx_4packed.pcx", 0},
    {"pcx_8.pcx", 0},
    {"pcx_24.pcx", 0},
    {"pcx_im8.pcx", 0},
    {"pcx_im24.pcx", 0},
    {"gif_2.gif", 0},
    {"gif_64.gif", 0},
    {"gif_interlaced.gif", 0},
    {"gif_transparent.gif", 0},
    {"gif_fulltable.gif", 0},
    {"gif_codesize11.gif", 0},
    {"tif_none.tif", 0},
    {"tif_lzw.tif", 0},
    {"tif_zip.tif", 0},
    {"tif_packbits.tif", 0},
    {"tif_16.tif", 1},
    {"tif_palette.tif", 0},
    {"tif_palette4.tif", 0},
    {"tif_grey.tif", 0},
    {"tif_1_fax.tif", 0},
    {"tif_alpha.tif", 1},
    {"tif_tiled.tif", 0},
    {"tif_onetile.tif", 0},
    {"tif_onetile_grey.tif", 0},
    {"tif_strips5.tif", 0},
    {"tif_fill2_alpha.tif", 1},
    {"tif_planes.tif", 0},
    {"tif_planes16.tif", 1},
    {"tif_cmyk.tif", 1},
    {"tif_cmyk_planes.tif", 1},
    {"tifo_2.tif", 0},
    {"tifo_3.tif", 0},
    {"tifo_4.tif", 0},
    {"tifo_5.tif", 0},
    {"tifo_6.tif", 0},
    {"tifo_7.tif", 0},
    {"tifo_8.tif", 0},
    {"tifj_jpeg.tif", 6},
    {"png_g1.png", 0},
    {"png_g2.png", 0},
    {"png_g4.png", 0},
    {"png_g8.png", 0},
    {"png_g16.png", 1},
    {"png_rgb8.png", 0},
    {"png_rgb16.png", 1},
    {"png_p1.png", 0},
    {"png_p2.png", 0},
    {"png_p4.png", 0},
    {"png_p8.png", 0},
    {"png_ga8.png", 1},
    {"png_ga16.png", 1},
    {"png_rgba8.png", 1},
    {"png_rgba16.png", 1},
    {"png_rgb8_interlaced.png", 0},
    {"png_rgba8_interlaced.png", 1},
    {"png_p8_interlaced.png", 0},
    {"png_p4_trns.png", 1},
};

const char *const kJpegs[] = {"jpg_baseline.jpg", "jpg_progressive.jpg", "jpg_grey.jpg", "jpg_cmyk.jpg"};

QImage reference(const char *file)
{
    QString name = QString::fromLatin1(file);
    name.replace(name.lastIndexOf(QLatin1Char('.')), 4, QStringLiteral(".ppm"));
    return QImage(QString::fromStdString(fixturePath(name)));
}

QImage readRgb(const std::string &path, int depth = 24, int dither = 0)
{
    Image image;
    Palette palette;
    const int rc = test::readByExtension(path, depth, dither, image, palette);
    EXPECT_EQ(rc, kOk) << path << ": " << statusText(rc);
    return test::toRgb32(image, palette);
}

QByteArray fileBytes(const std::string &path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string writeTemp(const QByteArray &bytes, const QString &name)
{
    const std::string path = QDir(test::codecFixtureDir()).filePath(QStringLiteral("tmp_") + name).toStdString();
    QFile f(QString::fromStdString(path));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

TEST(CodecRead, EveryLosslessVariantMatchesTheReferenceDecoder)
{
    ASSERT_FALSE(test::codecFixtureDir().isEmpty());
    for (const Fixture &f : kLossless) {
        SCOPED_TRACE(f.file);
        const QImage ref = reference(f.file);
        ASSERT_FALSE(ref.isNull());
        const QImage ours = readRgb(fixturePath(QString::fromLatin1(f.file)));
        EXPECT_LE(test::maxDifference(ours, ref), f.tolerance);
    }
}

TEST(CodecRead, JpegVariantsMatchQtsReaderWithinTolerance)
{
    for (const char *file : kJpegs) {
        SCOPED_TRACE(file);
        const std::string path = fixturePath(QString::fromLatin1(file));
        const QImage qt(QString::fromStdString(path));
        ASSERT_FALSE(qt.isNull());
        const QImage ours = readRgb(path);
        EXPECT_LE(test::maxDifference(ours, qt), 4);
    }
}

TEST(CodecRead, EveryDepthCodeGivesThatDepthAndPalette)
{
    const char *files[] = {"bmp_24.bmp",  "bmp_8.bmp",     "pcx_4planes.pcx",  "gif_64.gif",
                           "tif_lzw.tif", "png_rgba8.png", "jpg_baseline.jpg", "jpg_grey.jpg"};
    for (const char *file : files) {
        for (int dither : {0, 1}) {
            SCOPED_TRACE(std::string(file) + " dither " + std::to_string(dither));
            const std::string path = fixturePath(QString::fromLatin1(file));
            Image image;
            Palette palette;
            ASSERT_EQ(test::readByExtension(path, 8, dither, image, palette), kOk);
            EXPECT_EQ(image.bits(), 8);
            EXPECT_LE(palette.size(), 256u);
            ASSERT_EQ(test::readByExtension(path, 4, dither, image, palette), kOk);
            EXPECT_EQ(image.bits(), 4);
            EXPECT_LE(palette.size(), 16u);
            EXPECT_LE(test::distinctColours(test::toRgb32(image, palette)), 16);
            ASSERT_EQ(test::readByExtension(path, 1, dither, image, palette), kOk);
            EXPECT_EQ(image.bits(), 1);
            EXPECT_EQ(palette.size(), 2u);
            ASSERT_EQ(test::readByExtension(path, 0, dither, image, palette), kOk);
            EXPECT_EQ(image.bits(), 4);
            EXPECT_EQ(palette, vgaPalette());
            ASSERT_EQ(test::readByExtension(path, 24, dither, image, palette), kOk);
            EXPECT_EQ(image.bits(), 24);
            EXPECT_EQ(test::readByExtension(path, 16, dither, image, palette), kBadDepth);
            EXPECT_TRUE(image.empty());
        }
    }
}

TEST(CodecRead, AnEightBitReadOfFewColoursKeepsThemExactly)
{
    for (const char *file : {"bmp_8.bmp", "gif_64.gif", "pcx_8.pcx", "png_p8.png", "tif_palette.tif"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(test::maxDifference(readRgb(fixturePath(QString::fromLatin1(file)), 8), reference(file)), 0);
    }
}

TEST(CodecRead, AnEightBitReadMapsOntoTheStartingPalette)
{
    Image image;
    Palette palette = vgaPalette();
    palette.resize(12);
    const Palette start = palette;
    ASSERT_EQ(readBmpFile(fixturePath(QStringLiteral("bmp_24.bmp")), 8, 1, image, palette, {}), kOk);
    EXPECT_EQ(palette, start);
    ASSERT_EQ(image.bits(), 8);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_LT(image.index(x, y), 12);
    // An empty starting palette leaves the choice to the reader.
    palette.clear();
    ASSERT_EQ(readBmpFile(fixturePath(QStringLiteral("bmp_8.bmp")), 8, 0, image, palette, {}), kOk);
    EXPECT_EQ(test::maxDifference(test::toRgb32(image, palette), reference("bmp_8.bmp")), 0);
}

TEST(CodecRead, ProgressRisesToAHundredAndAZeroAnswerStops)
{
    for (const char *file : {"bmp_24.bmp", "bmp_rle8.bmp", "pcx_24.pcx", "gif_interlaced.gif", "tif_lzw.tif",
                             "png_rgba8_interlaced.png", "jpg_progressive.jpg"}) {
        SCOPED_TRACE(file);
        const std::string path = fixturePath(QString::fromLatin1(file));
        std::vector<int> seen;
        Image image;
        Palette palette;
        ASSERT_EQ(test::readByExtension(path, 24, 0, image, palette,
                                        [&](int32_t p) {
                                            seen.push_back(p);
                                            return 1;
                                        }),
                  kOk);
        ASSERT_FALSE(seen.empty());
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_EQ(seen.back(), 100);

        int calls = 0;
        const int rc = test::readByExtension(path, 24, 0, image, palette, [&](int32_t p) {
            ++calls;
            return p < 40 ? 1 : 0;
        });
        EXPECT_EQ(rc, kStopped);
        EXPECT_STREQ(statusText(rc), "Stopped");
        EXPECT_TRUE(image.empty());
        EXPECT_TRUE(palette.empty());
        EXPECT_LE(calls, int(seen.size()));
    }
}

TEST(CodecRead, TruncatedAndForeignFilesFailWithTheirOwnStatus)
{
    const char *files[] = {"bmp_24.bmp",      "bmp_rle8.bmp", "pcx_8.pcx",    "pcx_24.pcx",
                           "gif_64.gif",      "tif_lzw.tif",  "png_rgb8.png", "png_rgb8_interlaced.png",
                           "jpg_baseline.jpg"};
    for (const char *file : files) {
        SCOPED_TRACE(file);
        const QByteArray whole = fileBytes(fixturePath(QString::fromLatin1(file)));
        const QString ext = QString::fromLatin1(file).section(QLatin1Char('.'), -1);
        for (qsizetype keep : {whole.size() / 2, qsizetype(40), qsizetype(12), qsizetype(0)}) {
            SCOPED_TRACE(keep);
            const std::string cut = writeTemp(whole.left(keep), QStringLiteral("cut.") + ext);
            Image image;
            Palette palette;
            const int rc = test::readByExtension(cut, 24, 0, image, palette);
            EXPECT_LT(rc, kOk);
            EXPECT_TRUE(image.empty());
            if (keep == whole.size() / 2 && ext != QLatin1String("tif")) {
                EXPECT_EQ(rc, kTruncated) << statusText(rc);
            }
        }
    }
    Image image;
    Palette palette;
    const std::string png = fixturePath(QStringLiteral("png_rgb8.png"));
    EXPECT_EQ(readBmpFile(png, 24, 0, image, palette, {}), kNotBmp);
    EXPECT_EQ(readPcxFile(png, 24, 0, image, palette, {}), kNotPcx);
    EXPECT_EQ(readGifFile(png, 24, 0, image, palette, {}), kNotGif);
    EXPECT_EQ(readTifFile(png, 24, 0, image, palette, {}), kNotTiff);
    EXPECT_EQ(readJpgFile(png, 24, 1, 0, image, palette, {}), kNotJpeg);
    EXPECT_EQ(readPngFile(fixturePath(QStringLiteral("bmp_8.bmp")), 24, 0, image, palette, {}), kNotPng);
    EXPECT_EQ(readPngFile(fixturePath(QStringLiteral("no such file.png")), 24, 0, image, palette, {}), kCannotOpen);
    EXPECT_STREQ(statusText(kNotPcx), "Not a PCX file");
}

// Past 2^22 pixels the palette is made from tiles of the picture and the
// picture mapped onto it here; the result must be as good as one pixel
// column less, which is reduced whole.
TEST(CodecRead, LargePicturesReduceAsWellAsSmallOnes)
{
    const QImage source = QImage(QString::fromStdString(fixturePath(QStringLiteral("src.ppm"))))
                              .scaled(2049, 2048, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int depth : {8, 4}) {
        SCOPED_TRACE(depth);
        double error[2] = {0, 0};
        for (int large = 0; large < 2; ++large) {
            const QImage part = source.copy(0, 0, 2048 + large, 2048);
            const std::string path = writeTemp(QByteArray(), QStringLiteral("big.bmp"));
            ASSERT_EQ(writeBmpFile(path, 24, test::fromRgb(part), {}, {}), kOk);
            Image image;
            Palette palette;
            ASSERT_EQ(readBmpFile(path, depth, 1, image, palette, {}), kOk);
            EXPECT_EQ(image.bits(), depth);
            EXPECT_LE(palette.size(), size_t(1) << depth);
            error[large] = test::meanDifference(test::toRgb32(image, palette), part);
            QFile::remove(QString::fromStdString(path));
        }
        EXPECT_LT(error[1], error[0] * 1.15) << error[0] << " " << error[1];
    }
}

TEST(CodecRead, ThePixelLimitBoundsAreaNotSides)
{
    const uint64_t limit = limits().maxPixels;
    EXPECT_GE(limit, uint64_t(11648) * 8736); // a 100-megapixel camera photo
    EXPECT_EQ(checkPictureSize(limit, 1), kOk);
    EXPECT_EQ(checkPictureSize(1, limit), kOk);
    EXPECT_EQ(checkPictureSize(limit / 2 + 1, 2), kTooLarge);
    EXPECT_EQ(checkPictureSize(0, 5), kDamaged);
    // The widest strip a GIF can hold is a valid file, read whole.
    const QImage ours = readRgb(fixturePath(QStringLiteral("gifwide_65535x1.gif")));
    EXPECT_EQ(ours.size(), QSize(65535, 1));
    // Qt's PPM reader stops at 32767 a side, so the reference is read here.
    QFile ppm(QString::fromStdString(fixturePath(QStringLiteral("gifwide_65535x1.ppm"))));
    ASSERT_TRUE(ppm.open(QIODevice::ReadOnly));
    const QByteArray header = QByteArrayLiteral("P6\n65535 1\n255\n");
    const QByteArray rgb = ppm.readAll();
    ASSERT_TRUE(rgb.startsWith(header));
    ASSERT_EQ(rgb.size(), header.size() + 3 * qsizetype(65535));
    int worst = 0;
    for (int x = 0; x < 65535; ++x) {
        const auto *p = reinterpret_cast<const uint8_t *>(rgb.constData()) + header.size() + 3 * size_t(x);
        const QRgb c = ours.pixel(x, 0);
        worst = std::max({worst, std::abs(qRed(c) - p[0]), std::abs(qGreen(c) - p[1]), std::abs(qBlue(c) - p[2])});
    }
    EXPECT_EQ(worst, 0);
}

namespace {

// Packs a 4-bit picture as RLE4 runs of two pixels each, with line ends.
QByteArray rle4Bitmap(const Image &src, const Palette &palette)
{
    QByteArray data;
    for (int y = src.height() - 1; y >= 0; --y) {
        for (int x = 0; x < src.width(); x += 2) {
            const int n = std::min(2, src.width() - x);
            const int a = src.index(x, y), b = n > 1 ? src.index(x + 1, y) : 0;
            data.append(char(n));
            data.append(char((a << 4) | b));
        }
        data.append('\0');
        data.append('\0');
    }
    data.append('\0');
    data.append('\1');
    QByteArray file(14 + 40 + 64, '\0');
    auto *h = reinterpret_cast<uint8_t *>(file.data());
    h[0] = 'B';
    h[1] = 'M';
    putLe32(h + 2, uint32_t(file.size() + data.size()));
    putLe32(h + 10, 14 + 40 + 64);
    putLe32(h + 14, 40);
    putLe32(h + 18, uint32_t(src.width()));
    putLe32(h + 22, uint32_t(src.height()));
    putLe16(h + 26, 1);
    putLe16(h + 28, 4);
    putLe32(h + 30, 2);
    putLe32(h + 34, uint32_t(data.size()));
    for (size_t i = 0; i < 16 && i < palette.size(); ++i) {
        h[54 + 4 * i] = palette[i].b;
        h[55 + 4 * i] = palette[i].g;
        h[56 + 4 * i] = palette[i].r;
    }
    return file + data;
}

} // namespace

TEST(CodecRead, CraftedBitmapVariantsDecode)
{
    Image four;
    Palette palette;
    ASSERT_EQ(readBmpFile(fixturePath(QStringLiteral("bmp_4.bmp")), 4, 0, four, palette, {}), kOk);
    ASSERT_EQ(four.bits(), 4);
    const QImage expected = reference("bmp_4.bmp");
    EXPECT_EQ(test::maxDifference(readRgb(writeTemp(rle4Bitmap(four, palette), QStringLiteral("rle4.bmp"))), expected),
              0);

    // Top-down: negative height, rows stored first to last.
    QByteArray bmp = fileBytes(fixturePath(QStringLiteral("bmp_24.bmp")));
    auto *d = reinterpret_cast<uint8_t *>(bmp.data());
    const int w = int(le32(d + 18)), h = int(le32(d + 22));
    const uint32_t off = le32(d + 10);
    const size_t stride = Image::strideFor(uint32_t(w), 24);
    QByteArray topDown = bmp.left(int(off));
    for (int y = h - 1; y >= 0; --y)
        topDown += bmp.mid(int(off + stride * size_t(y)), int(stride));
    putLe32(reinterpret_cast<uint8_t *>(topDown.data()) + 22, uint32_t(-h));
    EXPECT_EQ(test::maxDifference(readRgb(writeTemp(topDown, QStringLiteral("topdown.bmp"))), reference("bmp_24.bmp")),
              0);

    // 52- and 56-byte headers carry their bit-field masks inside: 32 bits, blue high.
    for (uint32_t headerSize : {52u, 56u}) {
        SCOPED_TRACE(headerSize);
        QByteArray file(int(14 + headerSize), '\0');
        auto *p = reinterpret_cast<uint8_t *>(file.data());
        p[0] = 'B';
        p[1] = 'M';
        putLe32(p + 10, 14 + headerSize);
        putLe32(p + 14, headerSize);
        putLe32(p + 18, uint32_t(w));
        putLe32(p + 22, uint32_t(h));
        putLe16(p + 26, 1);
        putLe16(p + 28, 32);
        putLe32(p + 30, 3);
        putLe32(p + 54, 0x000000ff);
        putLe32(p + 58, 0x0000ff00);
        putLe32(p + 62, 0x00ff0000);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t *px = d + off + stride * size_t(y) + 3 * size_t(x);
                const char pixel[4] = {char(px[2]), char(px[1]), char(px[0]), 0};
                file.append(pixel, 4);
            }
        putLe32(reinterpret_cast<uint8_t *>(file.data()) + 2, uint32_t(file.size()));
        EXPECT_EQ(test::maxDifference(readRgb(writeTemp(file, QStringLiteral("fields.bmp"))), reference("bmp_24.bmp")),
                  0);
    }
}

// The same 8-8-8-8 pixels with their masks in each header that can hold an
// alpha mask: 108 and 56 bytes, and the 40-byte one with four masks after it.
// Pixels whose alpha bits are all zero are shown opaque, as their writers mean.
TEST(CodecRead, BitmapAlphaIsLaidOnWhiteWhateverTheHeader)
{
    const QByteArray v5 = fileBytes(fixturePath(QStringLiteral("bmp_v5_alpha.bmp")));
    const auto *d = reinterpret_cast<const uint8_t *>(v5.constData());
    ASSERT_EQ(le32(d + 14), 124u);
    ASSERT_EQ(le32(d + 66), 0xff000000u);
    const QByteArray pixels = v5.mid(qsizetype(le32(d + 10)), qsizetype(4 * 61 * 43));
    auto withHeader = [&](uint32_t headerSize, uint32_t compression, const QByteArray &data) {
        QByteArray file = v5.left(14 + qsizetype(std::min<uint32_t>(headerSize, 124)));
        if (headerSize == 40)
            file += v5.mid(54, 16); // the four masks
        auto *p = reinterpret_cast<uint8_t *>(file.data());
        putLe32(p + 10, uint32_t(file.size()));
        putLe32(p + 14, headerSize);
        putLe32(p + 30, compression);
        file += data;
        putLe32(p + 2, uint32_t(file.size()));
        return file;
    };
    const QImage expected = reference("bmp_v5_alpha.bmp");
    const struct {
        uint32_t header, compression;
    } kinds[] = {{108, 3}, {56, 3}, {40, 6}};
    for (const auto &k : kinds) {
        SCOPED_TRACE(k.header);
        const std::string path = writeTemp(withHeader(k.header, k.compression, pixels), QStringLiteral("alpha.bmp"));
        EXPECT_LE(test::maxDifference(readRgb(path), expected), 1);
    }
    QByteArray noAlpha = pixels;
    for (qsizetype i = 3; i < noAlpha.size(); i += 4)
        noAlpha[i] = 0;
    const QImage opaque = readRgb(writeTemp(withHeader(124, 3, noAlpha), QStringLiteral("zero.bmp")));
    const QImage plain = readRgb(writeTemp(withHeader(52, 3, noAlpha), QStringLiteral("plain.bmp")));
    EXPECT_EQ(test::maxDifference(opaque, plain), 0);
    EXPECT_EQ(opaque.pixel(0, 0), qRgb(0, 0, 0)); // red and green start at 0, blue too at the corner
}

namespace {

// Puts an EXIF block with one orientation entry right after the start marker.
QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray tiff("MM\0\x2a\0\0\0\x08", 8);
    tiff += QByteArray("\0\x01", 2);
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8);
    tiff += char(0);
    tiff += char(orientation);
    tiff += QByteArray(2, '\0');
    tiff += QByteArray(4, '\0');
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xff\xe1", 2);
    segment += char((payload.size() + 2) >> 8);
    segment += char((payload.size() + 2) & 0xff);
    segment += payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

} // namespace

TEST(CodecRead, ExifOrientationTurnsPhotographsUpright)
{
    const std::string path = fixturePath(QStringLiteral("jpg_baseline.jpg"));
    const QImage plain(QString::fromStdString(path));
    const QByteArray jpeg = fileBytes(path);
    const struct {
        int orientation;
        QTransform turn;
        bool mirror;
    } cases[] = {{3, QTransform().rotate(180), false},
                 {6, QTransform().rotate(90), false},
                 {8, QTransform().rotate(270), false},
                 {2, QTransform(), true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.orientation);
        QImage expected = plain.transformed(c.turn);
        if (c.mirror)
            expected = expected.mirrored(true, false);
        const std::string file = writeTemp(withOrientation(jpeg, c.orientation), QStringLiteral("exif.jpg"));
        const QImage ours = readRgb(file);
        EXPECT_LE(test::maxDifference(ours, expected), 4);
        char type[6], format[26];
        int16_t figures[5];
        ASSERT_EQ(getFileInfo(file, type, figures, format), kOk);
        EXPECT_EQ(figures[0], expected.width());
        EXPECT_EQ(figures[1], expected.height());
    }
}

TEST(CodecRead, FileInformationDescribesEachKind)
{
    const struct {
        const char *file;
        const char *type;
        int bits, colours, pictures;
        const char *format;
    } cases[] = {
        {"bmp_4.bmp", "BMP", 4, 16, 1, "Windows bitmap"},
        {"bmp_rle8.bmp", "BMP", 8, 256, 1, "Windows bitmap RLE8"},
        {"bmp_os2_24.bmp", "BMP", 24, 0, 1, "OS/2 bitmap"},
        {"pcx_4planes.pcx", "PCX", 4, 16, 1, "PCX version 5"},
        {"gif_interlaced.gif", "GIF", 8, 256, 1, "GIF 89a interlaced"},
        {"tif_tiled.tif", "TIF", 24, 0, 1, "TIFF LZW tiled"},
        {"png_ga16.png", "PNG", 32, 0, 1, "PNG grey+alpha"},
        {"png_p4.png", "PNG", 4, 16, 1, "PNG palette"},
        {"jpg_progressive.jpg", "JPG", 24, 0, 1, "JPEG progressive"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        char type[6] = {}, format[26] = {};
        int16_t figures[5] = {};
        ASSERT_EQ(getFileInfo(fixturePath(QString::fromLatin1(c.file)), type, figures, format), kOk);
        EXPECT_STREQ(type, c.type);
        EXPECT_EQ(figures[0], 61);
        EXPECT_EQ(figures[1], 43);
        EXPECT_EQ(figures[2], c.bits);
        if (std::string(c.file) != "png_p4.png") {
            EXPECT_EQ(figures[3], c.colours);
        }
        EXPECT_EQ(figures[4], c.pictures);
        EXPECT_STREQ(format, c.format);
    }
    {
        // Only the header is read: a 160 MB bitmap is described with 64 MB of room.
        QByteArray bmp = fileBytes(fixturePath(QStringLiteral("bmp_24.bmp")));
        auto *d = reinterpret_cast<uint8_t *>(bmp.data());
        putLe32(d + 18, 8000);
        putLe32(d + 22, 6700);
        const std::string path = writeTemp(bmp, QStringLiteral("large.bmp"));
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.resize(54 + qint64(8000) * 3 * 6700));
        const int width = test::runWithMemoryCap(size_t(64) << 20, [&] {
            char type[6] = {}, format[26] = {};
            int16_t figures[5] = {};
            return getFileInfo(path, type, figures, format) == kOk ? int(figures[0]) : -1;
        });
        EXPECT_EQ(width, 8000);
        file.remove();
    }
    {
        // A TIFF noted as turned a quarter tells the size it is shown at.
        char type[6] = {}, format[26] = {};
        int16_t figures[5] = {};
        ASSERT_EQ(getFileInfo(fixturePath(QStringLiteral("tifo_6.tif")), type, figures, format), kOk);
        EXPECT_EQ(figures[0], 43);
        EXPECT_EQ(figures[1], 61);
    }
    char type[6], format[26];
    int16_t figures[5];
    EXPECT_EQ(getFileInfo(fixturePath(QStringLiteral("missing.bmp")), type, figures, format), kCannotOpen);
    EXPECT_STREQ(type, "ERR");
    EXPECT_EQ(figures[0], -1);
    EXPECT_EQ(getFileInfo(fixturePath(QStringLiteral("src.ppm")), type, figures, format), kUnsupported);
}

TEST(CodecRead, EveryFailureHasATextOfItsOwn)
{
    std::set<std::string> texts;
    for (int status = kBadArgument; status <= kFailed; ++status)
        texts.insert(statusText(status));
    EXPECT_EQ(texts.size(), size_t(kFailed - kBadArgument + 1));
    EXPECT_FALSE(succeeded(0));
    EXPECT_TRUE(succeeded(1));
}
