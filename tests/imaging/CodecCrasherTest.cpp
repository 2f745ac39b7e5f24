#include "tests/imaging/CodecTestSupport.h"

#include <QDir>
#include <cstring>
#include <gtest/gtest.h>

using namespace brisvale;
using namespace brisvale::codec;

// Files that once upset a reader. Each must fail cleanly (or read) through
// every reader at every depth, never crash; under the sanitizer build the
// fuzz targets run them too.
TEST(CodecCrashers, EveryRegressionFileFailsCleanly)
{
    const QDir dir(QString::fromLocal8Bit(qgetenv("BRISVALE_CODEC_CRASHERS")));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        const std::string path = dir.filePath(name).toStdString();
        const QString kind = name.section(QLatin1Char('.'), -1).toLower();
        for (int depth : {24, 8, 4, 1, 0}) {
            Image image;
            Palette palette;
            const struct {
                const char *ext;
                int16_t rc;
            } results[] = {
                {"bmp", readBmpFile(path, depth, 1, image, palette, {})},
                {"pcx", readPcxFile(path, depth, 1, image, palette, {})},
                {"gif", readGifFile(path, depth, 1, image, palette, {})},
                {"tif", readTifFile(path, depth, 1, image, palette, {})},
                {"png", readPngFile(path, depth, 1, image, palette, {})},
                {"jpg", readJpgFile(path, depth, 1, 1, image, palette, {})},
            };
            for (const auto &r : results) {
                // The reader of the file's own kind must refuse it with a status of its own.
                if (kind == QLatin1String(r.ext)) {
                    EXPECT_LT(r.rc, kOk) << r.ext;
                    EXPECT_STRNE(statusText(r.rc), statusText(kFailed));
                }
            }
            EXPECT_TRUE(image.empty());
        }
        char type[6], format[26];
        int16_t figures[5];
        getFileInfo(path, type, figures, format);
        EXPECT_LE(std::strlen(type), 5u);
        EXPECT_LE(std::strlen(format), 25u);
    }
}

// Headers that claim more pixels than any picture may have: a 35-byte GIF
// whose screen is 18918 x 18918, a few bytes of RLE claiming 30000 x 30000,
// a HEIC grid whose own data claims 16000 x 16000 behind a small header, and
// their kin. Each read gets only 64 MB of room, so a reader that
// allocated before checking would fail for memory (or die) instead of saying
// why.
TEST(CodecCrashers, HugeHeadersAreRefusedBeforeAllocating)
{
    const QDir dir(QString::fromLocal8Bit(qgetenv("BRISVALE_CODEC_CRASHERS")));
    const char *const files[] = {"gif-screen-18918-square.gif",       "bmp-rle8-30000-square.bmp",
                                 "png-ihdr-20000-square.png",         "tif-header-20000-square.tif",
                                 "jpg-sof-65500-square.jpg",          "pcx-60000-square.pcx",
                                 "heic-grid-claims-16000-square.heic"};
    for (const char *file : files) {
        SCOPED_TRACE(file);
        const std::string path = dir.filePath(QString::fromLatin1(file)).toStdString();
        const int rc = test::runWithMemoryCap(size_t(64) << 20, [&] {
            Image image;
            Palette palette;
            return int(test::readByExtension(path, 24, 1, image, palette));
        });
        EXPECT_EQ(rc, kTooLarge) << statusText(rc);
    }
    EXPECT_STREQ(statusText(kTooLarge), "The picture is too large");
}
