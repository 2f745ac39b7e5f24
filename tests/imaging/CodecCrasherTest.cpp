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
