#include "tests/imaging/CodecTestSupport.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/Png.h"

#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <random>

using namespace brisvale;
using namespace brisvale::codec;

// What a read may cost is set by its picture: the decoded 24-bit picture, a
// quarter more, and 64 MiB. Each file below is small on disk (or sparse) and
// read in a child whose address space may grow by that budget only.
namespace {

size_t budget(uint64_t width, uint64_t height) { return size_t(width * height * 3 * 5 / 4) + (size_t(64) << 20); }

QByteArray zlibOf(const QByteArray &raw) { return qCompress(raw, 9).mid(4); } // without Qt's length prefix

QByteArray be32(uint32_t v)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char(v >> (24 - 8 * i));
    return out;
}

QByteArray pngChunk(const char *kind, const QByteArray &data)
{
    const QByteArray body = QByteArray(kind, 4) + data;
    return be32(uint32_t(data.size())) + body + be32(0); // the checksum is filled in by png()
}

void writeFile(const QString &path, const QByteArray &bytes, qint64 sparseTail = 0)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    if (sparseTail) {
        ASSERT_TRUE(f.resize(sparseTail));
    }
}

uint32_t crc(const QByteArray &data)
{
    uint32_t c = 0xffffffffu;
    for (const char ch : data) {
        c ^= uint8_t(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1)));
    }
    return ~c;
}

using Chunks = std::vector<std::pair<const char *, QByteArray>>;

QByteArray png(uint32_t w, uint32_t h, int bits, int colour, bool interlaced, const Chunks &body)
{
    QByteArray ihdr = be32(w) + be32(h);
    ihdr += char(bits);
    ihdr += char(colour);
    ihdr += QByteArray(2, '\0');
    ihdr += char(interlaced ? 1 : 0);
    Chunks chunks{{"IHDR", ihdr}};
    chunks.insert(chunks.end(), body.begin(), body.end());
    chunks.emplace_back("IEND", QByteArray());
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    for (const auto &[kind, data] : chunks) {
        QByteArray chunk = pngChunk(kind, data);
        const uint32_t sum = crc(chunk.mid(4, chunk.size() - 8));
        chunk.replace(chunk.size() - 4, 4, be32(sum));
        out += chunk;
    }
    return out;
}

QByteArray png(uint32_t w, uint32_t h, int bits, int colour, bool interlaced, const QByteArray &idat)
{
    return png(w, h, bits, colour, interlaced, Chunks{{"IDAT", idat}});
}

// An RGB TIFF of one deflate strip (or one tile) as large as the picture.
QByteArray tiff(uint32_t w, uint32_t h, bool tiled)
{
    const QByteArray data = zlibOf(QByteArray(qsizetype(w) * h * 3, '\0'));
    const uint32_t bitsAt = 8 + 2 + (tiled ? 11 : 10) * 12 + 4, dataAt = bitsAt + 6;
    std::vector<test::TiffEntry> entries{
        {256, 4, 1, w}, {257, 4, 1, h}, {258, 3, 3, bitsAt}, {259, 3, 1, 8}, {262, 3, 1, 2}};
    if (!tiled)
        entries.push_back({273, 4, 1, dataAt});
    entries.push_back({277, 3, 1, 3});
    if (!tiled) {
        entries.push_back({278, 4, 1, h});
        entries.push_back({279, 4, 1, uint32_t(data.size())});
    }
    entries.push_back({284, 3, 1, 1});
    if (tiled) {
        entries.push_back({322, 4, 1, w});
        entries.push_back({323, 4, 1, h});
        entries.push_back({324, 4, 1, dataAt});
        entries.push_back({325, 4, 1, uint32_t(data.size())});
    }
    QByteArray out = test::tiffDirectory(entries);
    QDataStream s(&out, QIODevice::Append);
    s.setByteOrder(QDataStream::LittleEndian);
    s << uint16_t(8) << uint16_t(8) << uint16_t(8);
    return out + data;
}

struct CountingSink : RowSink {
    int width = 0, rows = 0;
    bool wants(int w, int) override
    {
        width = w;
        return true;
    }
    void take(const uint8_t *) override { ++rows; }
    bool takesPieces() const override { return true; }
    void takePiece(int, const uint8_t *, int x0, int count) override { rows += x0 + count == width; }
};

// Keeps the rows a reader hands over in pieces, and whether they came as
// promised: each row from the left, rows made whole from the top down.
struct CollectingSink : RowSink {
    int width = 0, height = 0, whole = 0;
    bool broken = false;
    std::vector<int> next;
    QByteArray bgr;
    bool wants(int w, int h) override
    {
        width = w;
        height = h;
        next.assign(size_t(h), 0);
        bgr = QByteArray(qsizetype(w) * h * 3, '\0');
        return true;
    }
    void take(const uint8_t *) override { broken = true; }
    bool takesPieces() const override { return true; }
    void takePiece(int y, const uint8_t *piece, int x0, int count) override
    {
        if (y < whole || y >= height || x0 != next[size_t(y)] || x0 + count > width) {
            broken = true;
            return;
        }
        std::memcpy(bgr.data() + (qsizetype(y) * width + x0) * 3, piece, size_t(count) * 3);
        next[size_t(y)] += count;
        if (next[size_t(y)] == width)
            broken |= y != whole++;
    }
};

} // namespace

TEST(CodecCost, EachFileCostsWhatItsPictureCostsNotWhatItsFileLooksLike)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const qint64 tail = qint64(2) << 30;
    // A 1 x 1 picture before two gigabytes of nothing: the tail is never read.
    QByteArray bmp("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0", 14);
    QByteArray info(40, '\0');
    info[0] = 40, info[4] = 1, info[8] = 1, info[12] = 1, info[14] = 24;
    bmp += info + QByteArray("\x20\x40\x60\0", 4);
    writeFile(dir.filePath("padded.bmp"), bmp, tail);
    writeFile(dir.filePath("padded.png"), png(1, 1, 8, 2, false, zlibOf(QByteArray("\0\x20\x40\x60", 4))), tail);
    // Small files, large pictures: one deflate strip as tall as the picture,
    // one tile as large as it, an interlaced PNG with alpha.
    writeFile(dir.filePath("strip.tif"), tiff(4096, 4096, false));
    writeFile(dir.filePath("tile.tif"), tiff(8192, 8192, true));
    QByteArray passes;
    {
        // Adam7 of 6144 x 6144 at 4 bytes a pixel, every row filtered with 0.
        static const int kPass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                        {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        for (const auto &p : kPass) {
            const int pw = (6144 - p[0] + p[2] - 1) / p[2], ph = (6144 - p[1] + p[3] - 1) / p[3];
            passes += QByteArray(qsizetype(ph) * (1 + pw * 4), '\0');
        }
    }
    writeFile(dir.filePath("interlaced.png"), png(6144, 6144, 8, 6, true, zlibOf(passes)));
    passes.clear();

    const struct {
        const char *name;
        uint64_t width, height;
    } cases[] = {{"padded.bmp", 1, 1},
                 {"padded.png", 1, 1},
                 {"strip.tif", 4096, 4096},
                 {"tile.tif", 8192, 8192},
                 {"interlaced.png", 6144, 6144}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.filePath(QString::fromLatin1(c.name)).toStdString();
        const int rc = test::runWithMemoryCap(budget(c.width, c.height), [&] {
            try {
                Image image;
                Palette palette;
                const int16_t status = test::readByExtension(path, 24, 0, image, palette);
                return status == kOk && uint64_t(image.width()) * uint64_t(image.height()) == c.width * c.height
                           ? int(status)
                           : int(kFailed);
            } catch (const std::bad_alloc &) {
                return int(kOutOfMemory); // never past the child
            }
        });
        EXPECT_EQ(rc, kOk) << statusText(rc);
    }
}

// A preview of a run-length picture one row high and 2^24 wide (such a strip
// was once refused for memory): its rows go to the shrink, within the budget,
// and no picture comes back.
TEST(CodecCost, ALongRunLengthStripGoesToTheShrink)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const int width = 1 << 24;
    QByteArray runs;
    for (int left = width; left > 0; left -= 255)
        runs.append(char(std::min(left, 255))).append(char(left % 3));
    runs += QByteArray("\0\1", 2);
    QByteArray file("BM", 2);
    QDataStream s(&file, QIODevice::Append);
    s.setByteOrder(QDataStream::LittleEndian);
    const uint32_t offset = 14 + 40 + 3 * 4;
    s << uint32_t(offset + runs.size()) << uint32_t(0) << offset << uint32_t(40) << int32_t(width) << int32_t(1)
      << uint16_t(1) << uint16_t(8) << uint32_t(1) << uint32_t(runs.size()) << int32_t(2835) << int32_t(2835)
      << uint32_t(3) << uint32_t(0);
    s << uint32_t(0x0000ff) << uint32_t(0x00ff00) << uint32_t(0xff0000);
    file += runs;
    writeFile(dir.filePath("strip.bmp"), file);
    const std::string path = dir.filePath(QStringLiteral("strip.bmp")).toStdString();
    const int rows = test::runWithMemoryCap(budget(uint64_t(width), 1), [&] {
        try {
            CountingSink sink;
            Image image;
            Palette palette;
            const int16_t rc = readFileForBox(FileKind::Bmp, path, 24, 0, 60, 50, &sink, image, palette, {});
            return rc == kOk && image.empty() && sink.width == width ? sink.rows : -1;
        } catch (const std::bad_alloc &) {
            return -1;
        }
    });
    EXPECT_EQ(rows, 1);
}

// Rows too long for libpng to hold twice are decoded in columns, and give the
// very pixels libpng gives: every kind and depth, the five filters in random
// rows, interlaced or not, the data cut into uneven chunks; and a broken file
// fails the same way both ways.
TEST(CodecCost, ColumnsDecodeWhatLibpngDecodes)
{
    std::mt19937 random(7);
    const auto bytes = [&](qsizetype n, bool plain) {
        QByteArray out(n, '\0');
        for (char &c : out)
            c = char(plain ? (random() % 3 == 0 ? 0x10 : 0) : random());
        return out;
    };
    const auto read = [](const QByteArray &file, PngRows rows, Image &image, Palette &palette) {
        ByteSource source(reinterpret_cast<const uint8_t *>(file.constData()), size_t(file.size()));
        return readPngSource(source, ReadOptions{}, image, palette, rows);
    };
    const struct {
        int colour, bits;
    } kinds[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                 {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    int compared = 0;
    for (const auto &kind : kinds) {
        for (const uint32_t width : {1u, 5u, 8221u}) {
            for (const bool interlaced : {false, true}) {
                const uint32_t height = 1 + random() % 6;
                SCOPED_TRACE(testing::Message() << kind.colour << "/" << kind.bits << " " << width << "x" << height
                                                << (interlaced ? " interlaced" : ""));
                const int channels = kind.colour == 2 ? 3 : kind.colour == 4 ? 2 : kind.colour == 6 ? 4 : 1;
                static const int kPass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                                {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
                QByteArray raw;
                for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
                    const int *p = interlaced ? kPass[pass] : nullptr;
                    const uint32_t pw = p ? (width + p[2] - 1 - p[0]) / p[2] : width;
                    const uint32_t ph = p ? (height + p[3] - 1 - p[1]) / p[3] : height;
                    if (width <= (p ? uint32_t(p[0]) : 0u) || height <= (p ? uint32_t(p[1]) : 0u))
                        continue;
                    for (uint32_t y = 0; y < ph; ++y) {
                        // Plain rows of few values let the tRNS colour match.
                        const int filter = int(random() % 6 < 3 ? 0 : random() % 5);
                        raw += char(filter);
                        raw += bytes(qsizetype((uint64_t(pw) * channels * kind.bits + 7) / 8), filter == 0);
                    }
                }
                const QByteArray data = zlibOf(raw);
                Chunks body;
                if (kind.colour == 3) {
                    body.emplace_back("PLTE", bytes(3 << kind.bits, false));
                    body.emplace_back("tRNS", bytes(qsizetype(1) << (kind.bits - 1), false));
                } else if (kind.colour == 0) {
                    body.emplace_back("tRNS", QByteArray("\0\x10", 2));
                } else if (kind.colour == 2 && random() % 2) {
                    body.emplace_back("tRNS", QByteArray("\0\x10\0\x10\0\x10", 6));
                }
                for (qsizetype at = 0; at < data.size();) {
                    const qsizetype n = std::min<qsizetype>(data.size() - at, random() % 3 == 0 ? 0 : random() % 700);
                    body.emplace_back("IDAT", data.mid(at, n));
                    at += n;
                }
                const QByteArray file = png(width, height, kind.bits, kind.colour, interlaced, body);
                Image expected, actual;
                Palette expectedPalette, actualPalette;
                ASSERT_EQ(read(file, PngRows::Auto, expected, expectedPalette), kOk);
                ASSERT_EQ(read(file, PngRows::Columns, actual, actualPalette), kOk);
                ASSERT_EQ(
                    test::maxDifference(test::toRgb32(actual, actualPalette), test::toRgb32(expected, expectedPalette)),
                    0);
                ++compared;
                if (!interlaced) {
                    // Rows that only go on to be shrunk come in pieces, the same pixels.
                    CollectingSink sink;
                    ReadOptions options;
                    options.sink = &sink;
                    ByteSource source(reinterpret_cast<const uint8_t *>(file.constData()), size_t(file.size()));
                    Image none;
                    Palette nonePalette;
                    ASSERT_EQ(readPngSource(source, options, none, nonePalette, PngRows::Columns), kOk);
                    EXPECT_TRUE(none.empty());
                    ASSERT_FALSE(sink.broken);
                    ASSERT_EQ(sink.whole, int(height));
                    for (uint32_t y = 0; y < height; ++y)
                        ASSERT_EQ(std::memcmp(sink.bgr.constData() + qsizetype(y) * width * 3, expected.row(int(y)),
                                              size_t(width) * 3),
                                  0)
                            << y;
                }

                // Broken: a bad checksum, cut inside the data, a bad filter, data that
                // ends early.
                const qsizetype firstIdat = file.indexOf("IDAT");
                QByteArray badSum = file;
                const auto *lengthBytes = reinterpret_cast<const uint8_t *>(file.constData() + firstIdat - 4);
                const qsizetype sumAt = firstIdat + 4
                                        + qsizetype(uint32_t(lengthBytes[0]) << 24 | uint32_t(lengthBytes[1]) << 16
                                                    | uint32_t(lengthBytes[2]) << 8 | lengthBytes[3]);
                badSum[sumAt] = char(badSum[sumAt] ^ 1);
                QByteArray badFilter = raw;
                badFilter[0] = char(5);
                const QByteArray broken[] = {
                    badSum, file.left(firstIdat + 4 + (data.size() > 1 ? 1 : 0)),
                    png(width, height, kind.bits, kind.colour, interlaced, zlibOf(badFilter)),
                    png(width, height, kind.bits, kind.colour, interlaced, zlibOf(raw.left(raw.size() - 1)))};
                for (const QByteArray &b : broken) {
                    Image a, c;
                    Palette pa, pc;
                    const int viaLibpng = read(b, PngRows::Auto, a, pa);
                    EXPECT_NE(viaLibpng, kOk);
                    EXPECT_EQ(read(b, PngRows::Columns, c, pc), viaLibpng);
                    EXPECT_TRUE(c.empty());
                }
            }
        }
    }
    EXPECT_EQ(compared, 90);
}

// 16-bit RGBA 2^23 wide and 2 high: libpng's two rows would be 128 MiB beside
// a 48 MiB picture. Read within the budget, in columns, by the ordinary read.
TEST(CodecCost, AVeryWidePngFitsItsBudget)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const uint32_t width = 1u << 23, height = 2;
    QByteArray raw(qsizetype(height) * (1 + qsizetype(width) * 8), '\0');
    raw[1 + 6] = raw[1 + 7] = char(0xff); // one opaque black pixel, top left
    writeFile(dir.filePath("wide.png"), png(width, height, 16, 6, false, zlibOf(raw)));
    raw.clear();
    const std::string path = dir.filePath(QStringLiteral("wide.png")).toStdString();
    const int rc = test::runWithMemoryCap(budget(width, height), [&] {
        try {
            Image image;
            Palette palette;
            const int16_t status = test::readByExtension(path, 24, 0, image, palette);
            if (status != kOk)
                return int(status);
            const uint8_t *row = image.row(0);
            return image.width() == int(width) && row[0] == 0 && row[3] == 255 && image.row(1)[5] == 255 ? int(kOk)
                                                                                                         : int(kFailed);
        } catch (const std::bad_alloc &) {
            return int(kOutOfMemory);
        }
    });
    EXPECT_EQ(rc, kOk) << statusText(rc);

    // Its preview needs none of the picture: the rows go to the shrink in pieces.
    const int rows = test::runWithMemoryCap(size_t(24) << 20, [&] {
        try {
            CountingSink sink;
            Image image;
            Palette palette;
            const int16_t status = readFileForBox(FileKind::Png, path, 24, 0, 60, 50, &sink, image, palette, {});
            return status == kOk && image.empty() && sink.width == int(width) ? sink.rows : -1;
        } catch (const std::bad_alloc &) {
            return -1;
        }
    });
    EXPECT_EQ(rows, int(height));
}

namespace {

// Bytes of a line of /proc/self/status, such as "VmHWM:".
size_t statusBytes(const char *key)
{
    size_t kb = 0;
    if (FILE *f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, key, std::strlen(key)) == 0)
                kb = size_t(std::strtoull(line + std::strlen(key), nullptr, 10));
        std::fclose(f);
    }
    return kb << 10;
}

} // namespace

// The phone kinds' costly layouts, kept small on disk. Beside the budget
// come the decoders' own planes: a WebP's alpha plane and a HEIC's frame,
// which they fill, and the AV1 frame, which is handed back as the picture
// is made from it. The address space is capped there (and a little for the
// stacks and heaps the libraries and their threads reserve), and the memory
// the read really touches is held to the budget and those planes.
TEST(CodecCost, PhonePicturesAtTheirLargestTakeOneCopyBesideTheDecodersPlanes)
{
    const struct {
        const char *name;
        uint64_t width, height;
        uint64_t filled, reserved; // the decoder's own planes
        // The WebP decoder's filtering thread gets a heap of its own, which
        // reserves up to 128 MiB of address space while it is made and
        // touches little; without it, its alpha plane may not be had.
        uint64_t worker;
    } cases[] = {
        {"webp-alpha-8192x8192.webp", 8192, 8192, uint64_t(8192) * 8192, 0, uint64_t(128) << 20},
        {"avif444-8192x8192.avif", 8192, 8192, 0, uint64_t(8192) * 8192 * 3, 0},
        {"heic420-8192x4320.heic", 8192, 4320, uint64_t(8192) * 4320 * 3 / 2, 0, 0},
    };
    const QString files = QString::fromLocal8Bit(qgetenv("BRISVALE_CODEC_FILES"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = (files + u'/' + QLatin1String(c.name)).toStdString();
        const size_t touched = budget(c.width, c.height) + size_t(c.filled);
        const size_t reserved = touched + size_t(c.reserved) + (size_t(64) << 20) + size_t(c.worker);
        const int rc = test::runWithMemoryCap(reserved, [&] {
            try {
                if (std::FILE *reset = std::fopen("/proc/self/clear_refs", "w")) {
                    std::fputs("5", reset); // the peak starts again from here
                    std::fclose(reset);
                }
                const size_t before = statusBytes("VmRSS:");
                Image image;
                Palette palette;
                const int16_t status = test::readByExtension(path, 24, 0, image, palette);
                if (status != kOk)
                    return int(status);
                if (uint64_t(image.width()) != c.width || uint64_t(image.height()) != c.height)
                    return int(kFailed);
                return statusBytes("VmHWM:") - before <= touched ? int(kOk) : int(kTooLarge);
            } catch (const std::bad_alloc &) {
                return int(kOutOfMemory);
            }
        });
        EXPECT_EQ(rc, kOk) << statusText(rc);
    }
}
