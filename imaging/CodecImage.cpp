#include "imaging/CodecImage.h"

#include "imaging/codec/Status.h"

#include <QPainter>
#include <algorithm>
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

QImage toQImage(const codec::Image &image, const codec::Palette &palette)
{
    if (image.empty())
        return {};
    const int w = image.width(), h = image.height();
    QImage out;
    if (image.bits() == 24) {
        out = QImage(w, h, QImage::Format_RGB32);
        if (out.isNull())
            return {};
        for (int y = 0; y < h; ++y) {
            const uint8_t *src = image.row(y);
            auto *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < w; ++x, src += 3)
                dst[x] = qRgb(src[2], src[1], src[0]);
        }
        return out;
    }
    out = QImage(w, h, image.bits() == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
    if (out.isNull())
        return {};
    for (int y = 0; y < h; ++y) {
        uint8_t *dst = out.scanLine(y);
        if (image.bits() == 4) {
            for (int x = 0; x < w; ++x)
                dst[x] = uint8_t(image.index(x, y));
        } else {
            std::memcpy(dst, image.row(y), std::min<size_t>(size_t(out.bytesPerLine()), image.stride()));
        }
    }
    // Every index the picture can hold gets a colour, so painting never meets
    // an index outside the table.
    QList<QRgb> table = toQtPalette(palette);
    const qsizetype full = qsizetype(1) << (image.bits() == 1 ? 1 : image.bits() == 4 ? 4 : 8);
    if (table.size() < full)
        table.resize(full, qRgb(0, 0, 0));
    table.resize(full);
    out.setColorTable(table);
    return out;
}

codec::Image fromQImage(const QImage &image, const QList<QRgb> &palette, codec::Palette &outPalette)
{
    codec::Image out;
    outPalette.clear();
    if (image.isNull())
        return out;
    const int w = image.width(), h = image.height();
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB ||
        image.format() == QImage::Format_Indexed8) {
        const bool mono = image.format() != QImage::Format_Indexed8;
        const QImage src = image.format() == QImage::Format_MonoLSB ? image.convertToFormat(QImage::Format_Mono) : image;
        if (codec::Image::create(w, h, mono ? 1 : 8, out) != codec::kOk)
            return {};
        for (int y = 0; y < h; ++y)
            std::memcpy(out.row(y), src.constScanLine(y), std::min<size_t>(size_t(src.bytesPerLine()), out.stride()));
        outPalette = toCodecPalette(src.colorTable().isEmpty() ? palette : src.colorTable());
        return out;
    }
    QImage rgb;
    if (image.hasAlphaChannel()) {
        rgb = QImage(image.size(), QImage::Format_RGB32);
        rgb.fill(Qt::white);
        QPainter p(&rgb);
        p.drawImage(0, 0, image);
    } else {
        rgb = image.convertToFormat(QImage::Format_RGB32);
    }
    if (codec::Image::create(w, h, 24, out) != codec::kOk)
        return {};
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
    return out;
}

} // namespace brisvale
