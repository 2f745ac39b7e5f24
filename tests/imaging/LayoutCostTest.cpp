#include "tests/imaging/CodecTestSupport.h"

#include "imaging/codec/ColorReduce.h"

#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <new>
#include <zlib.h>

using namespace brisvale;
using namespace brisvale::codec;

// The costly layouts: CMYK and planes stored apart in TIFF strips as long as
// the picture, and a progressive CMYK JPEG at the pixel limit, whose
// coefficients its decoder must keep (two bytes a sample beside the budget
// of the decoded 24-bit picture, a quarter more and 64 MiB). Each is read in
// a child that may grow by that budget only, as the picture window and
// picconv read it, and for a preview.
namespace {

uint64_t budget(uint64_t width, uint64_t height, uint64_t keptSamples = 0)
{
    return width * height * 3 * 5 / 4 + (uint64_t(64) << 20) + 2 * keptSamples;
}

// `count` zero bytes as one zlib stream, without holding them.
QByteArray deflateZeros(uint64_t count)
{
    z_stream z{};
    deflateInit(&z, 6);
    static const QByteArray zeros(1 << 20, '\0');
    QByteArray out;
    char buffer[1 << 16];
    int flush = Z_NO_FLUSH;
    do {
        if (z.avail_in == 0 && count > 0) {
            const uint64_t n = std::min<uint64_t>(count, uint64_t(zeros.size()));
            z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
            z.avail_in = uInt(n);
            count -= n;
        }
        flush = count == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_out = reinterpret_cast<Bytef *>(buffer);
        z.avail_out = sizeof buffer;
        deflate(&z, flush);
        out.append(buffer, qsizetype(sizeof buffer - z.avail_out));
    } while (!(flush == Z_FINISH && z.avail_out != 0));
    deflateEnd(&z);
    return out;
}

// A deflate TIFF of zero samples in one strip, or one strip a plane.
QByteArray tiff(uint32_t w, uint32_t h, uint16_t photometric, uint16_t samples, uint16_t bits, bool planes)
{
    const uint32_t strips = planes ? samples : 1;
    const QByteArray strip = deflateZeros(uint64_t(w) * h * (bits / 8) * (planes ? 1 : samples));
    const uint16_t n = 10;
    const uint32_t bitsAt = 8 + 2 + n * 12 + 4, offsetsAt = bitsAt + 2 * samples, countsAt = offsetsAt + 4 * strips,
                   dataAt = countsAt + 4 * strips;
    QByteArray out = test::tiffDirectory({{256, 4, 1, w},
                                          {257, 4, 1, h},
                                          {258, 3, samples, bitsAt},
                                          {259, 3, 1, 8},
                                          {262, 3, 1, photometric},
                                          {273, 4, strips, strips == 1 ? dataAt : offsetsAt},
                                          {277, 3, 1, samples},
                                          {278, 4, 1, h},
                                          {279, 4, strips, strips == 1 ? uint32_t(strip.size()) : countsAt},
                                          {284, 3, 1, planes ? 2u : 1u}});
    QDataStream s(&out, QIODevice::Append);
    s.setByteOrder(QDataStream::LittleEndian);
    for (int i = 0; i < samples; ++i)
        s << bits;
    for (uint32_t i = 0; i < strips; ++i)
        s << uint32_t(dataAt + i * uint32_t(strip.size()));
    for (uint32_t i = 0; i < strips; ++i)
        s << uint32_t(strip.size());
    for (uint32_t i = 0; i < strips; ++i)
        out += strip;
    return out;
}

// A progressive CMYK JPEG of one scan of zero DCs: every block costs one bit.
QByteArray progressiveCmyk(uint16_t w, uint16_t h)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly); // big-endian, as JPEG is
    s << quint16(0xFFD8);
    s << quint16(0xFFDB) << quint16(67) << quint8(0);
    for (int i = 0; i < 64; ++i)
        s << quint8(1);
    s << quint16(0xFFC2) << quint16(8 + 3 * 4) << quint8(8) << h << w << quint8(4);
    for (quint8 c = 1; c <= 4; ++c)
        s << c << quint8(0x11) << quint8(0);
    s << quint16(0xFFC4) << quint16(20) << quint8(0x00) << quint8(1);
    for (int i = 1; i < 16; ++i)
        s << quint8(0);
    s << quint8(0); // the one code, "0", is a difference of 0
    s << quint16(0xFFDA) << quint16(6 + 2 * 4) << quint8(4);
    for (quint8 c = 1; c <= 4; ++c)
        s << c << quint8(0);
    s << quint8(0) << quint8(0) << quint8(0);
    out += QByteArray(qsizetype(w / 8) * (h / 8) * 4 / 8, '\0');
    out += QByteArray("\xFF\xD9", 2);
    return out;
}

struct RowCount : RowSink {
    int rows = 0;
    bool wants(int, int) override { return true; }
    void take(const uint8_t *) override { ++rows; }
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace

TEST(LayoutCost, CmykPlanesAndProgressiveCmykAreReadWithinTheirBudget)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath("cmyk.tif"), tiff(4096, 4096, 5, 4, 8, false));
    writeFile(dir.filePath("planes16.tif"), tiff(16384, 8192, 2, 3, 16, true));
    writeFile(dir.filePath("cmykplanes.tif"), tiff(2048, 2048, 5, 4, 16, true));
    writeFile(dir.filePath("progressive.jpg"), progressiveCmyk(16384, 8192));

    const struct {
        const char *name;
        uint64_t width, height, kept;
        uint8_t blue; // of every pixel: zero ink is white, DC 0 is middle grey
    } cases[] = {{"cmyk.tif", 4096, 4096, 0, 255},
                 {"planes16.tif", 16384, 8192, 0, 0},
                 {"cmykplanes.tif", 2048, 2048, 0, 255},
                 {"progressive.jpg", 16384, 8192, 4, 63}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.filePath(QString::fromLatin1(c.name)).toStdString();
        const FileKind kind = QByteArray(c.name).endsWith(".jpg") ? FileKind::Jpg : FileKind::Tif;
        const uint64_t kept = c.kept * c.width * c.height;
        const int rc = test::runWithMemoryCap(size_t(budget(c.width, c.height, kept)), [&] {
            try {
                Image image;
                Palette palette;
                const int16_t status = test::readByExtension(path, 24, 0, image, palette);
                if (status != kOk)
                    return int(status);
                const int x = image.width() - 1, y = image.height() - 1;
                const bool right = uint64_t(image.width()) == c.width && uint64_t(image.height()) == c.height
                                   && image.row(0)[0] == c.blue && image.row(y)[3 * x + 2] == c.blue;
                return right ? int(kOk) : int(kFailed);
            } catch (const std::bad_alloc &) {
                return int(kOutOfMemory);
            }
        });
        EXPECT_EQ(rc, kOk) << statusText(rc);
        // A preview's read holds none of the picture beside the decoder's own.
        const int preview = test::runWithMemoryCap(size_t(budget(0, 0, kept)), [&] {
            try {
                RowCount sink;
                Image image;
                Palette palette;
                const int16_t status = readFileForBox(kind, path, 24, 0, 60, 50, &sink, image, palette, {});
                return status == kOk && (sink.rows == int(c.height) || !image.empty()) ? int(status) : int(kFailed);
            } catch (const std::bad_alloc &) {
                return int(kOutOfMemory);
            }
        });
        EXPECT_EQ(preview, kOk) << statusText(preview);
    }
}
