#include "tests/imaging/CodecTestSupport.h"

#include "imaging/StretchedRead.h"
#include "imaging/TImageView.h"
#include "imaging/codec/ColourSpace.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <array>
#include <cmath>
#include <gtest/gtest.h>

using namespace brisvale;
using namespace brisvale::codec;
using brisvale::test::fixturePath;

namespace {

using Read = int16_t (*)(const std::string &, int32_t, int32_t, Image &, Palette &, const Progress &, int32_t);
using Matrix = std::array<std::array<double, 3>, 3>;

double srgbToLinear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double adobeToLinear(double v) { return std::pow(v, 563.0 / 256.0); }
double alreadyLinear(double v) { return v; }
int linearToSrgb(double v)
{
    v = std::clamp(v, 0.0, 1.0);
    return int(std::lround(255.0 * (v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055)));
}

// Published conversions to linear sRGB (both D65).
constexpr Matrix kP3ToSrgb = {
    {{1.2249401, -0.2249404, 0.0}, {-0.0420569, 1.0420571, 0.0}, {-0.0196376, -0.0786361, 1.0982735}}};
constexpr Matrix kAdobeToSrgb = {{{1.3982832, -0.3982831, 0.0}, {0.0, 1.0, 0.0}, {0.0, -0.0429383, 1.0429383}}};
// The swapped profile's red is sRGB's green and the other way round.
constexpr Matrix kSwapped = {{{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}};
constexpr Matrix kSame = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

QRgb expected(QRgb in, double (*toLinear)(double), const Matrix &m)
{
    const double c[3] = {toLinear(qRed(in) / 255.0), toLinear(qGreen(in) / 255.0), toLinear(qBlue(in) / 255.0)};
    int out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = linearToSrgb(m[size_t(i)][0] * c[0] + m[size_t(i)][1] * c[1] + m[size_t(i)][2] * c[2]);
    return qRgb(out[0], out[1], out[2]);
}

int channelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

struct Tagged {
    const char *file;
    Read read;
    double (*toLinear)(double);
    const Matrix *matrix;
};

// Four patches of 16 x 16: red, green, blue and an orange, as the file's
// numbers have them; each format says what they mean in its own way.
const Tagged kTagged[] = {
    {"swapped.jpg", nullptr, srgbToLinear, &kSwapped},
    {"swapped.png", readPngFile, srgbToLinear, &kSwapped},
    {"swapped.webp", readWebpFile, srgbToLinear, &kSwapped},
    {"swapped.tif", readTifFile, srgbToLinear, &kSwapped},
    {"swapped.bmp", readBmpFile, srgbToLinear, &kSwapped},
    {"swapped.gif", readGifFile, srgbToLinear, &kSwapped}, // the palette is converted
    {"p3.jpg", nullptr, srgbToLinear, &kP3ToSrgb},
    {"p3.png", readPngFile, srgbToLinear, &kP3ToSrgb},
    {"p3.webp", readWebpFile, srgbToLinear, &kP3ToSrgb},
    {"p3.tif", readTifFile, srgbToLinear, &kP3ToSrgb},
    {"p3.avif", readAvifFile, srgbToLinear, &kP3ToSrgb},
    {"p3_nclx.avif", readAvifFile, srgbToLinear, &kP3ToSrgb},
    {"p3.heic", readHeifFile, srgbToLinear, &kP3ToSrgb},
    {"p3_nclx.heic", readHeifFile, srgbToLinear, &kP3ToSrgb},
    {"adobergb.jpg", nullptr, adobeToLinear, &kAdobeToSrgb},
    {"adobergb.png", readPngFile, adobeToLinear, &kAdobeToSrgb},
    {"linear.png", readPngFile, alreadyLinear, &kSame}, // gAMA 1.0 with sRGB's cHRM
    {"adobergb.webp", readWebpFile, adobeToLinear, &kAdobeToSrgb},
    {"adobergb.tif", readTifFile, adobeToLinear, &kAdobeToSrgb},
};

int16_t readJpg(const std::string &name, int32_t depth, int32_t dither, Image &image, Palette &palette,
                const Progress &progress, int32_t)
{
    return readJpgFile(name, depth, 1, dither, image, palette, progress);
}

Matrix inverse(const Matrix &m)
{
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
                       - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
                       + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    Matrix out{};
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = 0; j < 3; ++j) {
            const size_t r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            out[i][j] = (m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0]) / det;
        }
    return out;
}

// The JPEG with its profile's APP2 segment cut into `pieces` segments.
QByteArray inSegments(const QByteArray &jpeg, int pieces)
{
    const qsizetype at = jpeg.indexOf(QByteArray("ICC_PROFILE\0", 12)) - 4;
    const int length = (uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]);
    const QByteArray profile = jpeg.mid(at + 4 + 14, length - 2 - 14);
    QByteArray segments;
    const qsizetype step = (profile.size() + pieces - 1) / pieces;
    for (int i = 0; i < pieces; ++i) {
        const QByteArray part = profile.mid(i * step, step);
        const int n = int(part.size()) + 2 + 14;
        segments += QByteArray("\xff\xe2", 2) + char(n >> 8) + char(n & 0xff) + QByteArray("ICC_PROFILE\0", 12)
                    + char(i + 1) + char(pieces) + part;
    }
    return jpeg.left(at) + segments + jpeg.mid(at + 2 + length);
}

QByteArray bytesOf(const QString &name)
{
    QFile f(QString::fromStdString(fixturePath(name)));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

constexpr int kPatchCentres[] = {8, 24, 40, 56};

} // namespace

TEST(Colour, TaggedPicturesComeOutAsTheirProfileSays)
{
    for (const Tagged &t : kTagged) {
        SCOPED_TRACE(t.file);
        Image image;
        Palette palette;
        ASSERT_EQ((t.read ? t.read : readJpg)(fixturePath(QString::fromLatin1(t.file)), 24, 0, image, palette, {}, 0),
                  kOk);
        ASSERT_TRUE(image.colour());
        const QImage asStored = test::toRgb32(image, palette);
        convertColours(image, palette, ColourTarget::Srgb);
        EXPECT_FALSE(image.colour());
        const QImage shown = test::toRgb32(image, palette);
        for (int x : kPatchCentres)
            EXPECT_LE(channelDifference(shown.pixel(x, 8), expected(asStored.pixel(x, 8), t.toLinear, *t.matrix)), 2)
                << "patch at " << x;
    }
    // The decisive case: what the file calls red is green, with the profile
    // in one segment of a JPEG or in several.
    Image image;
    Palette palette;
    ASSERT_EQ(readPngFile(fixturePath(QStringLiteral("swapped.png")), 24, 0, image, palette, {}, 0), kOk);
    convertColours(image, palette, ColourTarget::Srgb);
    EXPECT_EQ(test::toRgb32(image, palette).pixel(8, 8), qRgb(0, 255, 0));
    const QString split = test::freshFolder(QStringLiteral("colour")) + QStringLiteral("/split.jpg");
    test::writeFile(split, inSegments(bytesOf(QStringLiteral("swapped.jpg")), 3));
    ASSERT_EQ(readJpg(split.toStdString(), 24, 0, image, palette, {}, 0), kOk);
    convertColours(image, palette, ColourTarget::Srgb);
    EXPECT_LE(channelDifference(test::toRgb32(image, palette).pixel(8, 8), qRgb(0, 255, 0)), 2);
}

TEST(Colour, UntaggedSrgbAndBrokenProfilesAreLeftAsTheyAre)
{
    const QImage patches(QString::fromStdString(fixturePath(QStringLiteral("untagged.png"))));
    ASSERT_FALSE(patches.isNull());
    for (const char *file : {"untagged.png", "srgb.png", "srgb.jpg", "srgb.webp"}) {
        SCOPED_TRACE(file);
        Image image;
        Palette palette;
        const std::string path = fixturePath(QString::fromLatin1(file));
        ASSERT_EQ(QString::fromLatin1(file).endsWith(u"jpg")   ? readJpg(path, 24, 0, image, palette, {}, 0)
                  : QString::fromLatin1(file).endsWith(u"png") ? readPngFile(path, 24, 0, image, palette, {}, 0)
                                                               : readWebpFile(path, 24, 0, image, palette, {}, 0),
                  kOk);
        EXPECT_FALSE(image.colour()); // nothing to convert, nothing spent
        EXPECT_LE(test::maxDifference(test::toRgb32(image, palette), patches.convertToFormat(QImage::Format_RGB32)), 1);
    }

    // The swapped profile damaged three ways: a tag count past any real
    // profile, tags that point past the profile's end, and the second of
    // its two segments missing. The picture shows as if untagged: red stays red.
    const QByteArray good = bytesOf(QStringLiteral("swapped.jpg"));
    const qsizetype icc = good.indexOf(QByteArray("ICC_PROFILE\0", 12)) + 14;
    ASSERT_GT(icc, 14);
    QByteArray manyTags = good, farTags = good;
    for (int i = 0; i < 4; ++i)
        manyTags[icc + 128 + i] = char(0x7f);
    const int tags = uchar(good[icc + 131]);
    for (int t = 0; t < tags; ++t)
        for (int i = 0; i < 4; ++i)
            farTags[icc + 132 + qsizetype(12) * t + 4 + i] = char(0x40);
    QByteArray cut = inSegments(good, 2);
    const qsizetype second = cut.indexOf(QByteArray("ICC_PROFILE\0\2\2", 14)) - 4;
    cut.remove(second, 2 + ((uchar(cut[second + 2]) << 8) | uchar(cut[second + 3])));
    for (const QByteArray &bytes : {manyTags, farTags, cut}) {
        const QString path = test::freshFolder(QStringLiteral("colour")) + QStringLiteral("/broken.jpg");
        test::writeFile(path, bytes);
        Image image;
        Palette palette;
        ASSERT_EQ(readJpg(path.toStdString(), 24, 0, image, palette, {}, 0), kOk);
        EXPECT_FALSE(image.colour());
        convertColours(image, palette, ColourTarget::Srgb);
        EXPECT_LE(channelDifference(test::toRgb32(image, palette).pixel(8, 8), qRgb(255, 0, 0)), 2);
    }
}

// Where a person meets the picture: the image control paints it, saves it and
// the previews are made from it, all in sRGB; on a screen with a profile of
// its own, only the painting changes.
TEST(Colour, TheWindowThePreviewAndTheSavedFileShowTheConvertedColours)
{
    platform::ScriptedDialogService script;
    platform::setDialogService(&script);
    const QString swapped = QString::fromStdString(fixturePath(QStringLiteral("swapped.png")));
    const QString folder = test::freshFolder(QStringLiteral("colour-view"));
    TImageView view;
    view.setImageReadRes(TLoadResolution::lColorTrue);
    view.resize(64, 16);
    view.setImageName(swapped);
    auto painted = [&] { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    EXPECT_EQ(painted().pixel(8, 8), qRgb(0, 255, 0));
    view.setStretchRatio(true);
    view.resize(32, 8); // fitted, then converted
    EXPECT_LE(channelDifference(painted().pixel(4, 4), qRgb(0, 255, 0)), 1);

    ASSERT_TRUE(view.SaveAsBMP(folder + QStringLiteral("/saved.bmp")));
    EXPECT_EQ(QImage(folder + QStringLiteral("/saved.bmp")).pixel(8, 8), qRgb(0, 255, 0));

    const BoxPicture preview = DecodeStretched(swapped, QSize(60, 50), 24, false, Qt::white, {}, true);
    EXPECT_LE(channelDifference(preview.bitmap.image().pixel(5, 25), qRgb(0, 255, 0)), 1);

    // A Display P3 screen: sRGB red is painted with the P3 numbers for it,
    // while what is written stays sRGB.
    const QByteArray p3 = bytesOf(QStringLiteral("p3.icc"));
    setScreenProfile(reinterpret_cast<const uint8_t *>(p3.constData()), size_t(p3.size()));
    view.resize(64, 16);
    view.setStretchRatio(false);
    view.setImageName(QString::fromStdString(fixturePath(QStringLiteral("untagged.png"))));
    EXPECT_LE(channelDifference(painted().pixel(8, 8), expected(qRgb(255, 0, 0), srgbToLinear, inverse(kP3ToSrgb))), 2);
    ASSERT_TRUE(view.SaveAsBMP(folder + QStringLiteral("/untagged.bmp")));
    EXPECT_EQ(QImage(folder + QStringLiteral("/untagged.bmp")).pixel(8, 8), qRgb(255, 0, 0));
    setScreenProfile(nullptr, 0);
    platform::setDialogService(nullptr);
}

// Inks through the file's own profile, one that prints red where ideal inks
// print green and the other way round; untagged inks as ideal ones.
TEST(Colour, InksAreGivenTheColoursOfTheirProfile)
{
    struct Case {
        const char *file;
        QRgb red, green; // what the red and the green patch become
    };
    const Case cases[] = {
        {"cmyk_swapped.jpg", qRgb(0, 255, 0), qRgb(255, 0, 0)}, // inverted inks, as Adobe's marker says
        {"cmyk_swapped.tif", qRgb(0, 255, 0), qRgb(255, 0, 0)},
        {"cmyk_untagged.jpg", qRgb(255, 0, 0), qRgb(0, 255, 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        Image image;
        Palette palette;
        const std::string path = fixturePath(QString::fromLatin1(c.file));
        ASSERT_EQ(QString::fromLatin1(c.file).endsWith(u"tif") ? readTifFile(path, 24, 0, image, palette, {}, 0)
                                                               : readJpg(path, 24, 0, image, palette, {}, 0),
                  kOk);
        EXPECT_FALSE(image.colour()); // sRGB once read
        const QImage shown = test::toRgb32(image, palette);
        EXPECT_LE(channelDifference(shown.pixel(8, 8), c.red), 3);
        EXPECT_LE(channelDifference(shown.pixel(24, 8), c.green), 3);
    }
}

// A grey profile of linear light: level 128 is half the light, sRGB's 188.
// And a calibrated BMP giving its primaries (red and green swapped) and a
// gamma of 1 in its header.
TEST(Colour, GreyProfilesAndCalibratedBitmapsAreHonoured)
{
    for (const char *file : {"grey_linear.png", "grey_linear.jpg", "grey_linear.tif"}) {
        SCOPED_TRACE(file);
        Image image;
        Palette palette;
        const std::string path = fixturePath(QString::fromLatin1(file));
        const QString name = QString::fromLatin1(file);
        ASSERT_EQ(name.endsWith(u"png")   ? readPngFile(path, 24, 0, image, palette, {}, 0)
                  : name.endsWith(u"jpg") ? readJpg(path, 24, 0, image, palette, {}, 0)
                                          : readTifFile(path, 24, 0, image, palette, {}, 0),
                  kOk);
        convertColours(image, palette, ColourTarget::Srgb);
        const QImage shown = test::toRgb32(image, palette);
        EXPECT_LE(channelDifference(shown.pixel(8, 8), qRgb(0, 0, 0)), 1);
        EXPECT_LE(channelDifference(shown.pixel(24, 8), qRgb(137, 137, 137)), 2);
        EXPECT_LE(channelDifference(shown.pixel(40, 8), qRgb(188, 188, 188)), 2);
        EXPECT_LE(channelDifference(shown.pixel(56, 8), qRgb(255, 255, 255)), 1);
    }

    // Red, green, grey 128 and white, bottom-up, three bytes a pixel.
    QByteArray bmp(14 + 108, '\0');
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = char((v >> (8 * i)) & 0xff);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(10, 14 + 108);
    put32(14, 108);
    put32(18, 4);
    put32(22, 1);
    put32(26, 1 | (24u << 16));
    const double endpoints[9] = {0.3576, 0.7152, 0.1192, 0.4124, 0.2126, 0.0193, 0.1805, 0.0722, 0.9505};
    for (int i = 0; i < 9; ++i)
        put32(14 + 60 + 4 * i, uint32_t(std::lround(endpoints[i] * (1 << 30))));
    for (int i = 0; i < 3; ++i)
        put32(14 + 96 + 4 * i, 0x10000); // a gamma of 1
    bmp += QByteArray("\x00\x00\xff\x00\xff\x00\x80\x80\x80\xff\xff\xff", 12);
    put32(2, uint32_t(bmp.size()));
    const QString path = test::freshFolder(QStringLiteral("colour")) + QStringLiteral("/calibrated.bmp");
    test::writeFile(path, bmp);
    Image image;
    Palette palette;
    ASSERT_EQ(readBmpFile(path.toStdString(), 24, 0, image, palette, {}, 0), kOk);
    convertColours(image, palette, ColourTarget::Srgb);
    const QImage shown = test::toRgb32(image, palette);
    EXPECT_LE(channelDifference(shown.pixel(0, 0), qRgb(0, 255, 0)), 2);
    EXPECT_LE(channelDifference(shown.pixel(1, 0), qRgb(255, 0, 0)), 2);
    EXPECT_LE(channelDifference(shown.pixel(2, 0), qRgb(188, 188, 188)), 2);
    EXPECT_LE(channelDifference(shown.pixel(3, 0), qRgb(255, 255, 255)), 1);
}
