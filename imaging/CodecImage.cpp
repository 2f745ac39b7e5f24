#include "imaging/CodecImage.h"

#include "imaging/codec/Status.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace brisvale {

codec::Palette toCodecPalette(const QList<QRgb> &palette)
{
    codec::Palette out;
    out.reserve(size_t(palette.size()));
    for (QRgb c : palette)
        out.push_back(codec::Rgb{uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))});
    return out;
}

QList<QRgb> toQtPalette(const codec::Palette &palette)
{
    QList<QRgb> out;
    out.reserve(qsizetype(palette.size()));
    for (const codec::Rgb &c : palette)
        out.push_back(qRgb(c.r, c.g, c.b));
    return out;
}

namespace {

void freeBuffer(void *data) { std::free(data); }

} // namespace

bool rowFitsQImage(int64_t width, int bits) { return width * bits <= int64_t(INT_MAX); }

int handOverFailure(const codec::Image &image)
{
    return rowFitsQImage(image.width(), image.bits() == 24 ? 24 : 8) ? codec::kOutOfMemory : codec::kTooLarge;
}

QImage toQImage(codec::Image &&image, const codec::Palette &palette)
{
    if (image.empty())
        return {};
    const int w = image.width(), h = image.height(), bits = image.bits();
    const size_t from = image.stride();
    // The library's 24-bit rows are blue, green, red bytes: QImage holds them
    // as they are, so true colour costs three bytes a pixel and no pass.
    const QImage::Format format = bits == 24  ? QImage::Format_BGR888
                                  : bits == 1 ? QImage::Format_Mono
                                              : QImage::Format_Indexed8;
    const size_t to = bits == 4 ? (size_t(w) + 3) / 4 * 4 : from;
    uint8_t *data = image.release();
    if (bits == 4) {
        // realloc of a large block moves pages rather than bytes, so growing
        // costs only the extra room.
        auto *grown = static_cast<uint8_t *>(std::realloc(data, to * size_t(h)));
        if (!grown) {
            std::free(data);
            return {};
        }
        data = grown;
        // Back to front: every pixel moves to an address at or after its own,
        // so nothing is overwritten before it has been read.
        for (int y = h - 1; y >= 0; --y) {
            const uint8_t *src = data + from * size_t(y);
            uint8_t *dst = data + to * size_t(y);
            for (int x = w - 1; x >= 0; --x) {
                const uint8_t pair = src[x >> 1];
                dst[x] = (x & 1) ? uint8_t(pair & 0x0f) : uint8_t(pair >> 4);
            }
        }
    }
    QImage out(data, w, h, qsizetype(to), format, freeBuffer, data);
    if (out.isNull()) {
        std::free(data);
        return {};
    }
    if (bits == 24)
        return out;
    // Every index the picture can hold gets a colour, so painting never meets
    // an index outside the table.
    QList<QRgb> table = toQtPalette(palette);
    const qsizetype full = qsizetype(1) << (bits == 1 ? 1 : bits == 4 ? 4 : 8);
    table.resize(full, qRgb(0, 0, 0));
    out.setColorTable(table);
    return out;
}

int fromQImage(const QImage &image, const QList<QRgb> &palette, codec::Image &out, codec::Palette &outPalette)
{
    out.clear();
    outPalette.clear();
    if (image.isNull())
        return codec::kNoPicture;
    const int w = image.width(), h = image.height();
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB
        || image.format() == QImage::Format_Indexed8) {
        const bool mono = image.format() != QImage::Format_Indexed8;
        const QImage src = image.format() == QImage::Format_MonoLSB ? image.convertToFormat(QImage::Format_Mono)
                                                                    : image;
        if (src.isNull())
            return codec::kOutOfMemory;
        if (const int rc = codec::Image::create(w, h, mono ? 1 : 8, out); rc != codec::kOk)
            return rc;
        for (int y = 0; y < h; ++y)
            std::memcpy(out.row(y), src.constScanLine(y), std::min<size_t>(size_t(src.bytesPerLine()), out.stride()));
        outPalette = toCodecPalette(src.colorTable().isEmpty() ? palette : src.colorTable());
        return codec::kOk;
    }
    if (const int rc = codec::Image::create(w, h, 24, out); rc != codec::kOk)
        return rc;
    if (image.format() == QImage::Format_BGR888) {
        // Already the library's byte order: rows are copied as they stand.
        for (int y = 0; y < h; ++y)
            std::memcpy(out.row(y), image.constScanLine(y), size_t(w) * 3);
        outPalette = toCodecPalette(palette);
        return codec::kOk;
    }
    QImage rgb;
    if (image.format() == QImage::Format_RGB32) {
        rgb = image;
    } else if (image.hasAlphaChannel()) {
        rgb = QImage(image.size(), QImage::Format_RGB32);
        if (!rgb.isNull()) {
            rgb.fill(Qt::white);
            QPainter p(&rgb);
            p.drawImage(0, 0, image);
        }
    } else {
        rgb = image.convertToFormat(QImage::Format_RGB32);
    }
    if (rgb.isNull()) {
        out.clear();
        return codec::kOutOfMemory;
    }
    for (int y = 0; y < h; ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uint8_t *dst = out.row(y);
        for (int x = 0; x < w; ++x, dst += 3) {
            dst[0] = uint8_t(qBlue(src[x]));
            dst[1] = uint8_t(qGreen(src[x]));
            dst[2] = uint8_t(qRed(src[x]));
        }
    }
    outPalette = toCodecPalette(palette);
    return codec::kOk;
}

} // namespace brisvale
