#include "tests/imaging/CodecTestSupport.h"

#include "imaging/StretchedRead.h"
#include "imaging/TImageView.h"
#include "imaging/TMediaView.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/TestEnvironment.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace brisvale;
using namespace brisvale::codec;
using brisvale::test::fixturePath;

namespace {

using Read = int16_t (*)(const std::string &, int32_t, int32_t, Image &, Palette &, const Progress &, int32_t);

struct Fixture {
    const char *file;
    Read read;
    int tolerance; // largest channel difference from the format's own decoder
    int width, height;
};

// Made by the formats' own encoders from one photograph of 301 x 203; the
// reference beside each is the format's own decoder's output, laid on white.
const Fixture kFixtures[] = {
    {"webp_lossy_alpha.webp", readWebpFile, 1, 301, 203},
    {"webp_lossless_alpha.webp", readWebpFile, 1, 301, 203},
    {"webp_animated.webp", readWebpFile, 0, 301, 203},
    {"webp_exif6.webp", readWebpFile, 0, 203, 301},
    {"avif_8bit.avif", readAvifFile, 0, 301, 203},
    // The conversion hands colours over laid on black; back on white they
    // may round differently by a few levels where alpha is low.
    {"avif_10bit_alpha.avif", readAvifFile, 3, 301, 203},
    {"avif_12bit.avif", readAvifFile, 0, 301, 203},
    {"heic_alpha.heic", readHeifFile, 1, 301, 203},
    {"heic_plain.heic", readHeifFile, 0, 301, 203},
};

QString stem(const char *file) { return QString::fromLatin1(file).section(u'.', 0, 0); }

QByteArray fixtureBytes(const char *file)
{
    QFile f(QString::fromStdString(fixturePath(QString::fromLatin1(file))));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file;
    return f.readAll();
}

std::string writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = test::freshFolder(QStringLiteral("phone")) + u'/' + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    return path.toStdString();
}

// Every picture size a HEIF-family header declares, set to width x height.
QByteArray withDeclaredSize(QByteArray bytes, quint32 width, quint32 height)
{
    for (qsizetype at = bytes.indexOf("ispe"); at >= 0; at = bytes.indexOf("ispe", at + 4)) {
        qToBigEndian(width, bytes.data() + at + 8);
        qToBigEndian(height, bytes.data() + at + 12);
    }
    return bytes;
}

} // namespace

TEST(PhoneFormats, EachReadsAsItsOwnDecoderShowsIt)
{
    for (const Fixture &f : kFixtures) {
        SCOPED_TRACE(f.file);
        Image image;
        Palette palette;
        ASSERT_EQ(f.read(fixturePath(QString::fromLatin1(f.file)), 24, 0, image, palette, {}, 0), kOk);
        const QImage reference(QString::fromStdString(fixturePath(stem(f.file) + QStringLiteral(".ppm"))));
        EXPECT_LE(test::maxDifference(test::toRgb32(image, palette), reference), f.tolerance);

        // The information comes from the header, turned as the picture is.
        char type[6];
        char format[26];
        int16_t figures[5];
        EXPECT_EQ(getFileInfo(fixturePath(QString::fromLatin1(f.file)), type, figures, format), kOk);
        EXPECT_EQ(figures[0], f.width);
        EXPECT_EQ(figures[1], f.height);
        // And at a reduced depth, as the picture window asks on a 256-colour display.
        ASSERT_EQ(f.read(fixturePath(QString::fromLatin1(f.file)), 8, 1, image, palette, {}, 0), kOk);
        EXPECT_EQ(image.bits(), 8);
    }
    char type[6];
    char format[26];
    int16_t figures[5];
    ASSERT_EQ(getFileInfo(fixturePath(QStringLiteral("webp_animated.webp")), type, figures, format), kOk);
    EXPECT_STREQ(type, "WEBP");
    EXPECT_EQ(figures[4], 2); // pictures in the file
}

TEST(PhoneFormats, AHeaderPastTheLimitIsRefusedBeforeAllocating)
{
    QByteArray webp = fixtureBytes("webp_lossless_alpha.webp");
    // An extended header declaring a canvas of 20000 x 20000 before the picture.
    QByteArray vp8x("VP8X\x0a\0\0\0\x10\0\0\0", 12);
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < 3; ++i)
            vp8x.append(char(((20000 - 1) >> (8 * i)) & 0xff));
    webp = webp.left(12) + vp8x + webp.mid(12);
    qToLittleEndian(quint32(webp.size() - 8), webp.data() + 4);
    const struct {
        const char *name;
        QByteArray bytes;
        Read read;
    } files[] = {
        {"big.webp", webp, readWebpFile},
        {"big.avif", withDeclaredSize(fixtureBytes("avif_10bit_alpha.avif"), 30000, 30000), readAvifFile},
        {"big.heic", withDeclaredSize(fixtureBytes("heic_alpha.heic"), 30000, 30000), readHeifFile},
        {"wide.heic", withDeclaredSize(fixtureBytes("heic_plain.heic"), 1u << 29, 1), readHeifFile},
        // Its header says 24 x 16; the data of its grid, 26991 x 30316.
        {"heic-grid-claims-26991x30316.heic", {}, readHeifFile},
    };
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        const std::string path = f.bytes.isEmpty() ? (qgetenv("BRISVALE_CODEC_CRASHERS") + '/' + f.name).toStdString()
                                                   : writeFile(QString::fromLatin1(f.name), f.bytes);
        // A picture of that size would take more than a gigabyte; the read
        // gets 64 MB beyond what the process holds.
        const int rc = test::runWithMemoryCap(size_t(64) << 20, [&] {
            Image image;
            Palette palette;
            const int status = f.read(path, 24, 0, image, palette, {}, 0);
            return image.empty() ? status : INT_MAX;
        });
        EXPECT_EQ(rc, kTooLarge);
    }
}

TEST(PhoneFormats, DamagedFilesAndOtherKindsAreRefusedInTheCodecsWords)
{
    const struct {
        const char *fixture;
        Read read;
        int notMine;
    } kinds[] = {
        {"webp_lossy_alpha.webp", readWebpFile, kNotWebp},
        {"avif_10bit_alpha.avif", readAvifFile, kNotAvif},
        {"heic_alpha.heic", readHeifFile, kNotHeif},
    };
    for (const auto &k : kinds) {
        SCOPED_TRACE(k.fixture);
        const QByteArray whole = fixtureBytes(k.fixture);
        Image image;
        Palette palette;
        for (const qsizetype cut : {whole.size() / 2, qsizetype(40)}) {
            const std::string path = writeFile(QStringLiteral("cut_") + QLatin1String(k.fixture), whole.left(cut));
            EXPECT_EQ(k.read(path, 24, 0, image, palette, {}, 0), kTruncated) << cut;
            EXPECT_TRUE(image.empty());
        }
        // Another kind under the name: the png the reference decoder wrote.
        const std::string png = writeFile(QStringLiteral("other_") + QLatin1String(k.fixture),
                                          fixtureBytes("photo.png"));
        EXPECT_EQ(k.read(png, 24, 0, image, palette, {}, 0), k.notMine);
        EXPECT_EQ(k.read(fixturePath(QStringLiteral("empty")), 24, 0, image, palette, {}, 0), k.notMine);
    }
    // A pipe under a picture's name is refused at once, not waited on.
    const std::string pipe = test::freshFolder(QStringLiteral("pipe")).toStdString() + "/wait.heic";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    Image image;
    Palette palette;
    EXPECT_EQ(readHeifFile(pipe, 24, 0, image, palette, {}, 0), kCannotOpen);
}

TEST(PhoneFormats, ImageControlsAndPreviewsShowThemByTheirWholeExtension)
{
    platform::ScriptedDialogService script;
    platform::setDialogService(&script);
    const QString avif = QString::fromStdString(fixturePath(QStringLiteral("avif_8bit.avif")));
    const QImage reference(QString::fromStdString(fixturePath(QStringLiteral("avif_8bit.ppm"))));
    TImageView view;
    view.setImageReadRes(TLoadResolution::lColorTrue);
    view.setImageName(avif); // cut to four letters it would read as a video
    EXPECT_LE(test::maxDifference(view.Picture().bitmap.image().convertToFormat(QImage::Format_RGB32),
                                  reference.convertToFormat(QImage::Format_RGB32)),
              0);
    EXPECT_EQ(view.imageInfo().FileType, QStringLiteral("AVIF"));
    // The save dialog's preview box.
    TMediaView box;
    box.setImageReadRes(TLoadResolution::lColorTrue);
    box.setMediaName(QString::fromStdString(fixturePath(QStringLiteral("heic_plain.heic"))));
    EXPECT_EQ(box.Picture().size(), QSize(301, 203));
    // The previewer's small picture.
    const BoxPicture preview = DecodeStretched(QString::fromStdString(fixturePath(QStringLiteral("webp_exif6.webp"))),
                                               QSize(60, 50), 24, false, Qt::white, {}, true);
    EXPECT_EQ(preview.status, kOk);
    EXPECT_EQ(preview.bitmap.image().size(), QSize(60, 50));
    EXPECT_TRUE(script.entries().empty());
    platform::setDialogService(nullptr);
}

// Another program cuts a picture short and writes it again, over and over,
// while it is read and its information is taken: every kind the library
// reads ends each read with the whole picture or a failure and no picture,
// never by ending the process.
TEST(PhoneFormats, AFileCutShortWhileItIsReadIsADamagedFileNeverACrash)
{
    const QString folder = test::freshFolder(QStringLiteral("race"));
    for (const char *ext : {"bmp", "pcx", "gif", "png", "jpg", "tif", "webp", "avif", "heic"}) {
        SCOPED_TRACE(ext);
        const QByteArray whole = fixtureBytes((std::string("race.") + ext).c_str());
        ASSERT_GT(whole.size(), 1000);
        const std::string path = (folder + QStringLiteral("/race.") + QLatin1String(ext)).toStdString();
        {
            QFile f(QString::fromStdString(path));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(whole) == whole.size());
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::atomic<bool> done{false};
            std::thread writer([&] {
                const int fd = ::open(path.c_str(), O_WRONLY);
                std::mt19937 random(7);
                while (!done) {
                    (void)!::ftruncate(fd, off_t(random() % uint32_t(whole.size())));
                    (void)!::pwrite(fd, whole.constData(), size_t(whole.size()), 0);
                }
                ::close(fd);
            });
            int wrong = 0, failed = 0;
            for (int i = 0; i < 16; ++i) {
                Image image;
                Palette palette;
                const int rc = test::readByExtension(path, 24, 0, image, palette);
                failed += rc != kOk;
                wrong += rc == kOk ? image.width() != 1600 || image.height() != 1200 : !image.empty();
                char type[6];
                char format[26];
                int16_t figures[5];
                getFileInfo(path, type, figures, format);
            }
            done = true;
            writer.join();
            // 3: a read answered wrongly; 4: the writer never cut a read short.
            ::_exit(wrong ? 3 : failed ? 0 : 4);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
}

// The crop box of an AVIF is applied as libheif applies a HEIC's: the same
// part of the picture, at odd offsets too, turned after the crop.
TEST(PhoneFormats, AnAvifCropBoxKeepsThePartLibheifKeeps)
{
    const std::string path = fixturePath(QStringLiteral("avif_clap.avif"));
    Image ours, theirs;
    Palette ourPalette, theirPalette;
    ASSERT_EQ(readAvifFile(path, 24, 0, ours, ourPalette, {}, 0), kOk);
    ASSERT_EQ(readHeifFile(path, 24, 0, theirs, theirPalette, {}, 0), kOk);
    EXPECT_EQ(QSize(ours.width(), ours.height()), QSize(151, 201));
    // The two libraries' conversions of the same samples round apart by a level or two.
    EXPECT_LE(test::maxDifference(test::toRgb32(ours, ourPalette), test::toRgb32(theirs, theirPalette)), 3);
    char type[6];
    char format[26];
    int16_t figures[5];
    ASSERT_EQ(getFileInfo(path, type, figures, format), kOk);
    EXPECT_EQ(figures[0], 151);
    EXPECT_EQ(figures[1], 201);
}

// The save dialog's gauge follows a read's progress: every phone kind ends
// at 100, with alpha or without.
TEST(PhoneFormats, EveryReadsProgressEndsAtAHundred)
{
    for (const Fixture &f : kFixtures) {
        SCOPED_TRACE(f.file);
        int32_t last = -1;
        const Progress progress = [&](int32_t percent) {
            last = percent;
            return 1;
        };
        Image image;
        Palette palette;
        ASSERT_EQ(f.read(fixturePath(QString::fromLatin1(f.file)), 24, 0, image, palette, progress, 0), kOk);
        EXPECT_EQ(last, 100);
    }
}

// A WebP under a JPEG's name: the picture window and picconv both take the
// name's word for the kind, and both refuse it with the same words.
TEST(PhoneFormats, APictureNamedAsAnotherKindIsRefusedByTheWindowAndByPicconv)
{
    const std::string path = writeFile(QStringLiteral("holiday.jpg"), fixtureBytes("webp_plain.webp"));
    platform::ScriptedDialogService script;
    platform::setDialogService(&script);
    TImageView view;
    view.setImageReadRes(TLoadResolution::lColorTrue);
    view.setImageName(QString::fromStdString(path));
    EXPECT_TRUE(view.Picture().bitmap.image().isNull());
    const QStringList said = script.texts();
    platform::setDialogService(nullptr);
    ASSERT_FALSE(said.isEmpty());
    // The reason comes first in the window's box.
    const QString reason = said.first().section(u'\n', 0, 0);
    EXPECT_EQ(reason, QString::fromLatin1(statusText(kNotJpeg)));

    QProcess picconv;
    picconv.start(QStringLiteral(PICCONV), {QString::fromStdString(path), QString::fromStdString(path + ".bmp")});
    ASSERT_TRUE(picconv.waitForFinished(60000));
    EXPECT_EQ(picconv.exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(picconv.readAllStandardError()).contains(reason));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path + ".bmp")));
}
