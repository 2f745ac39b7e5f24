#include "tests/imaging/CodecTestSupport.h"

#include "imaging/codec/ColorReduce.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace brisvale;
using namespace brisvale::codec;
using brisvale::test::fixturePath;

namespace {

struct Source {
    Image image;
    Palette palette;
};

Source photo()
{
    Source s;
    EXPECT_EQ(readBmpFile(fixturePath(QStringLiteral("bmp_24.bmp")), 24, 0, s.image, s.palette, {}), kOk);
    return s;
}

using Writer = int16_t (*)(const std::string &, int32_t, const Image &, const Palette &, const Progress &, int32_t);

struct Format {
    const char *ext;
    Writer write;
    bool qtReads;
};

const Format kFormats[] = {{"bmp", writeBmpFile, true}, {"gif", writeGifFile, true}, {"pcx", writePcxFile, false}};

QImage readWithPcxToPpm(const QString &file)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pcxtoppm"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    p.start(tool, {file});
    p.waitForFinished(30000);
    QImage image;
    image.loadFromData(p.readAllStandardOutput(), "PPM");
    return image;
}

} // namespace

TEST(CodecWrite, EveryWriterAtEveryDepthMakesAStandardFile)
{
    QTemporaryDir dir;
    const Source src = photo();
    const QImage original = test::toRgb32(src.image, src.palette);
    for (const Format &f : kFormats) {
        for (int depth : {0, 1, 4, 8, 24}) {
            SCOPED_TRACE(std::string(f.ext) + " at " + std::to_string(depth));
            const QString file = dir.filePath(QStringLiteral("out.%1").arg(QLatin1String(f.ext)));
            std::vector<int> seen;
            ASSERT_EQ(f.write(
                          file.toStdString(), depth, src.image, src.palette,
                          [&](int32_t p) {
                              seen.push_back(p);
                              return 1;
                          },
                          0),
                      kOk);
            ASSERT_FALSE(seen.empty());
            EXPECT_EQ(seen.back(), 100);

            Image back;
            Palette backPalette;
            ASSERT_EQ(test::readByExtension(file.toStdString(), 24, 0, back, backPalette), kOk);
            const QImage ours = test::toRgb32(back, backPalette);
            ASSERT_EQ(ours.size(), original.size());
            const int colours = test::distinctColours(ours);
            const int written = (std::string(f.ext) == "gif" && depth == 24) ? 8 : depth;
            switch (written) {
            case 24: EXPECT_EQ(test::maxDifference(ours, original), 0); break;
            case 8:
                EXPECT_LE(colours, 256);
                EXPECT_LT(test::meanDifference(ours, original), 12.0);
                break;
            case 4:
                EXPECT_LE(colours, 16);
                EXPECT_LT(test::meanDifference(ours, original), 32.0);
                break;
            case 1: EXPECT_LE(colours, 2); break;
            case 0: {
                EXPECT_LE(colours, 16);
                const QImage vga = ours.convertToFormat(QImage::Format_RGB32);
                for (int y = 0; y < vga.height(); ++y)
                    for (int x = 0; x < vga.width(); ++x) {
                        const QRgb c = vga.pixel(x, y);
                        const Rgb rgb{uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))};
                        ASSERT_NE(std::find(vgaPalette().begin(), vgaPalette().end(), rgb), vgaPalette().end());
                    }
                break;
            }
            }
            // Read at the depth it was written, the picture keeps that depth.
            if (written != 0 && written != 24) {
                ASSERT_EQ(test::readByExtension(file.toStdString(), written, 0, back, backPalette), kOk);
                EXPECT_EQ(back.bits(), written);
                EXPECT_EQ(test::maxDifference(test::toRgb32(back, backPalette), ours), 0);
            }
            // An independent reader sees the same pixels.
            const QImage independent = f.qtReads ? QImage(file) : readWithPcxToPpm(file);
            if (independent.isNull() && !f.qtReads)
                continue;
            EXPECT_EQ(test::maxDifference(independent, ours), 0);
        }
    }
}

TEST(CodecWrite, IndexedPicturesAreWrittenWithTheirOwnPalette)
{
    QTemporaryDir dir;
    Image image;
    Palette palette;
    ASSERT_EQ(readGifFile(fixturePath(QStringLiteral("gif_64.gif")), 8, 0, image, palette, {}), kOk);
    for (const Format &f : kFormats) {
        SCOPED_TRACE(f.ext);
        const std::string file = dir.filePath(QStringLiteral("pal.%1").arg(QLatin1String(f.ext))).toStdString();
        ASSERT_EQ(f.write(file, 8, image, palette, {}, 0), kOk);
        Image back;
        Palette backPalette;
        ASSERT_EQ(test::readByExtension(file, 24, 0, back, backPalette), kOk);
        EXPECT_EQ(test::maxDifference(test::toRgb32(back, backPalette), test::toRgb32(image, palette)), 0);
    }
}

TEST(CodecWrite, JpegQualitySmoothingAndGrey)
{
    QTemporaryDir dir;
    const Source src = photo();
    const QImage original = test::toRgb32(src.image, src.palette);
    const std::string best = dir.filePath(QStringLiteral("q100.jpg")).toStdString();
    const std::string worst = dir.filePath(QStringLiteral("q1.jpg")).toStdString();
    const std::string smooth = dir.filePath(QStringLiteral("smooth.jpg")).toStdString();
    const std::string grey = dir.filePath(QStringLiteral("grey.jpg")).toStdString();
    ASSERT_EQ(writeJpgFile(best, 100, 0, 24, src.image, src.palette, {}), kOk);
    ASSERT_EQ(writeJpgFile(worst, 1, 0, 24, src.image, src.palette, {}), kOk);
    ASSERT_EQ(writeJpgFile(smooth, 75, 100, 24, src.image, src.palette, {}), kOk);
    ASSERT_EQ(writeJpgFile(grey, 90, 0, 1, src.image, src.palette, {}), kOk);
    EXPECT_GT(QFile(QString::fromStdString(best)).size(), QFile(QString::fromStdString(worst)).size());

    const QImage qtBest(QString::fromStdString(best));
    EXPECT_LT(test::meanDifference(qtBest, original), 2.0);
    Image back;
    Palette backPalette;
    ASSERT_EQ(readJpgFile(best, 24, 1, 0, back, backPalette, {}), kOk);
    EXPECT_LE(test::maxDifference(test::toRgb32(back, backPalette), qtBest), 2);
    const QImage qtGrey(QString::fromStdString(grey));
    EXPECT_TRUE(qtGrey.isGrayscale());
    EXPECT_FALSE(QImage(QString::fromStdString(smooth)).isNull());

    // A paletted picture is written in its colours.
    Image indexed;
    Palette indexedPalette;
    ASSERT_EQ(readGifFile(fixturePath(QStringLiteral("gif_64.gif")), 8, 0, indexed, indexedPalette, {}), kOk);
    ASSERT_EQ(writeJpgFile(best, 100, 0, 24, indexed, indexedPalette, {}), kOk);
    EXPECT_LT(test::meanDifference(QImage(QString::fromStdString(best)), test::toRgb32(indexed, indexedPalette)), 3.0);

    EXPECT_EQ(writeJpgFile(best, 0, 0, 24, src.image, src.palette, {}), kBadArgument);
    EXPECT_EQ(writeJpgFile(best, 101, 0, 24, src.image, src.palette, {}), kBadArgument);
    EXPECT_EQ(writeJpgFile(best, 50, 101, 24, src.image, src.palette, {}), kBadArgument);
    EXPECT_EQ(writeJpgFile(best, 50, 0, 8, src.image, src.palette, {}), kBadDepth);
    EXPECT_EQ(writeJpgFile(best, 50, 0, 24, Image(), {}, {}), kNoPicture);
}

TEST(CodecWrite, AFailedOrStoppedWriteLeavesTheOldFileAlone)
{
    QTemporaryDir dir;
    const Source src = photo();
    const QString target = dir.filePath(QStringLiteral("keep.bmp"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("older picture");
    }
    for (const Format &f : kFormats) {
        SCOPED_TRACE(f.ext);
        EXPECT_EQ(f.write(
                      target.toStdString(), 8, src.image, src.palette, [](int32_t p) { return p < 50 ? 1 : 0; }, 0),
                  kStopped);
        QFile f2(target);
        ASSERT_TRUE(f2.open(QIODevice::ReadOnly));
        EXPECT_EQ(f2.readAll(), QByteArray("older picture"));
    }
    EXPECT_EQ(
        writeJpgFile(target.toStdString(), 50, 0, 24, src.image, src.palette, [](int32_t p) { return p < 50 ? 1 : 0; }),
        kStopped);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.bmp")}) << "no stray files";
    EXPECT_EQ(
        writeBmpFile(dir.filePath(QStringLiteral("no/such/folder.bmp")).toStdString(), 24, src.image, src.palette, {}),
        kCannotWrite);
    EXPECT_EQ(writePcxFile(target.toStdString(), 7, src.image, src.palette, {}), kBadDepth);
}

TEST(CodecWrite, OverwritingKeepsPermissionsAndWritesThroughLinks)
{
    QTemporaryDir dir;
    const Source src = photo();
    const QString target = dir.filePath(QStringLiteral("shared.bmp"));
    ASSERT_EQ(writeBmpFile(target.toStdString(), 24, src.image, src.palette, {}), kOk);
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    ASSERT_EQ(writeBmpFile(target.toStdString(), 8, src.image, src.palette, {}), kOk);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A link (relative, and one whose target is missing) stays a link; the
    // picture lands in its target.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString link = dir.filePath(QStringLiteral("link.bmp"));
    ASSERT_EQ(::symlink("real/picture.bmp", QFile::encodeName(link).constData()), 0);
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(writeBmpFile(link.toStdString(), 24, src.image, src.palette, {}), kOk);
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(QImage(dir.filePath(QStringLiteral("real/picture.bmp"))).size(),
                  QSize(src.image.width(), src.image.height()));
    }
    EXPECT_EQ(QDir(dir.path() + QStringLiteral("/real")).entryList(QDir::Files), QStringList{"picture.bmp"});
}

TEST(CodecWrite, PathsLongerThan255CharactersWork)
{
    QTemporaryDir dir;
    QString folder = dir.path();
    while (folder.size() < 300)
        folder += QStringLiteral("/a_rather_long_folder_name_for_pictures");
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::string file = (folder + QStringLiteral("/picture.bmp")).toStdString();
    ASSERT_GT(file.size(), 255u);
    const Source src = photo();
    ASSERT_EQ(writeBmpFile(file, 24, src.image, src.palette, {}), kOk);
    Image back;
    Palette palette;
    EXPECT_EQ(readBmpFile(file, 24, 0, back, palette, {}), kOk);
    EXPECT_EQ(back.width(), src.image.width());

    // A name of 250 bytes leaves no room for a temporary named after it.
    const std::string longName = dir.path().toStdString() + '/' + std::string(246, 'p') + ".bmp";
    ASSERT_EQ(writeBmpFile(longName, 24, src.image, src.palette, {}), kOk);
    EXPECT_EQ(readBmpFile(longName, 24, 0, back, palette, {}), kOk);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(CodecTransform, FlipMirrorsTopToBottomAndRotateTurnsClockwise)
{
    // A 3 x 2 picture of six distinct colours, at every depth the library keeps.
    QImage grid(3, 2, QImage::Format_RGB32);
    const QRgb colours[6] = {qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(0, 0, 255),
                             qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255)};
    for (int i = 0; i < 6; ++i)
        grid.setPixel(i % 3, i / 3, colours[i]);
    for (int depth : {24, 8, 4}) {
        SCOPED_TRACE(depth);
        Image image = test::fromRgb(grid);
        Palette palette;
        ReadOptions options;
        options.depth = depth;
        ASSERT_EQ(toDepth(image, palette, options), kOk);
        ASSERT_EQ(test::maxDifference(test::toRgb32(image, palette), grid), 0);

        Image flipped = test::fromRgb(test::toRgb32(image, palette));
        ASSERT_EQ(toDepth(flipped, palette, options), kOk);
        ASSERT_EQ(flipBitmap(24, flipped, palette), kOk);
        EXPECT_EQ(test::maxDifference(test::toRgb32(flipped, palette), grid.mirrored(false, true)), 0);

        ASSERT_EQ(rotateBitmap(24, image, palette), kOk);
        EXPECT_EQ(image.width(), 2);
        EXPECT_EQ(image.height(), 3);
        EXPECT_EQ(test::maxDifference(test::toRgb32(image, palette), grid.transformed(QTransform().rotate(90))), 0);
    }
    // One bit: an odd width keeps its padding bits out of the picture.
    Image mono;
    ASSERT_EQ(Image::create(9, 2, 1, mono), kOk);
    mono.setIndex(0, 0, 1);
    mono.setIndex(8, 1, 1);
    Palette bw = {{0, 0, 0}, {255, 255, 255}};
    ASSERT_EQ(rotateBitmap(24, mono, bw), kOk);
    ASSERT_EQ(mono.width(), 2);
    EXPECT_EQ(mono.index(1, 0), 1);
    EXPECT_EQ(mono.index(0, 8), 1);
    EXPECT_EQ(mono.index(0, 0), 0);
    Image empty;
    EXPECT_EQ(flipBitmap(24, empty, bw), kNoPicture);
}
