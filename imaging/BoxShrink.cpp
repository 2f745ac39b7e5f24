#include "imaging/BoxShrink.h"

namespace brisvale {

BoxShrinker::BoxShrinker(int sourceWidth, int sourceHeight, QSize box)
    : sw_(sourceWidth), sh_(sourceHeight), dw_(box.width()), dh_(box.height()),
      column_(size_t(sourceWidth)), firstWeight_(size_t(sourceWidth)), line_(size_t(box.width()) * 3),
      sums_(size_t(box.width()) * 6), out_(box, QImage::Format_RGB32)
{
    // Source column x spans [x*dw, (x+1)*dw) and box column j spans
    // [j*sw, (j+1)*sw) on a common scale; as dw <= sw a column meets at most two.
    for (int x = 0; x < sw_; ++x) {
        const int64_t start = int64_t(x) * dw_;
        const int j = int(start / sw_);
        const int64_t boundary = int64_t(j + 1) * sw_;
        column_[size_t(x)] = j;
        firstWeight_[size_t(x)] = uint32_t(std::min<int64_t>(dw_, boundary - start));
    }
    out_.fill(0);
}

template <typename Pixel>
void BoxShrinker::addRow(const Pixel &pixelAt)
{
    if (y_ >= sh_)
        return;
    std::fill(line_.begin(), line_.end(), 0);
    for (int x = 0; x < sw_; ++x) {
        uint32_t b, g, r;
        pixelAt(x, b, g, r);
        const size_t j = size_t(column_[size_t(x)]) * 3;
        const uint32_t w = firstWeight_[size_t(x)];
        line_[j] += uint64_t(b) * w;
        line_[j + 1] += uint64_t(g) * w;
        line_[j + 2] += uint64_t(r) * w;
        if (w < uint32_t(dw_)) {
            const uint32_t rest = uint32_t(dw_) - w;
            line_[j + 3] += uint64_t(b) * rest;
            line_[j + 4] += uint64_t(g) * rest;
            line_[j + 5] += uint64_t(r) * rest;
        }
    }
    // The same split between box rows.
    const int64_t start = int64_t(y_) * dh_;
    const int i = int(start / sh_);
    const int64_t boundary = int64_t(i + 1) * sh_;
    const uint64_t w = uint64_t(std::min<int64_t>(dh_, boundary - start));
    const size_t n = size_t(dw_) * 3;
    uint64_t *first = sums_.data() + (i % 2) * n;
    uint64_t *second = sums_.data() + ((i + 1) % 2) * n;
    for (size_t k = 0; k < n; ++k)
        first[k] += line_[k] * w;
    const bool spills = w < uint64_t(dh_);
    if (spills)
        for (size_t k = 0; k < n; ++k)
            second[k] += line_[k] * (uint64_t(dh_) - w);
    ++y_;
    if (spills || start + dh_ == boundary || y_ == sh_)
        finishRow(i);
}

void BoxShrinker::finishRow(int boxRow)
{
    const size_t n = size_t(dw_) * 3;
    uint64_t *sums = sums_.data() + (boxRow % 2) * n;
    const uint64_t area = uint64_t(sw_) * uint64_t(sh_);
    auto *out = reinterpret_cast<QRgb *>(out_.scanLine(boxRow));
    for (int j = 0; j < dw_; ++j) {
        const uint64_t *s = sums + size_t(j) * 3;
        out[j] = qRgb(int((s[2] + area / 2) / area), int((s[1] + area / 2) / area), int((s[0] + area / 2) / area));
    }
    std::fill(sums, sums + n, 0);
}

void BoxShrinker::addBgrRow(const uint8_t *bgr)
{
    addRow([bgr](int x, uint32_t &b, uint32_t &g, uint32_t &r) {
        const uint8_t *p = bgr + size_t(x) * 3;
        b = p[0];
        g = p[1];
        r = p[2];
    });
}

void BoxShrinker::addRgb32Row(const QRgb *row)
{
    addRow([row](int x, uint32_t &b, uint32_t &g, uint32_t &r) {
        const QRgb c = row[x];
        b = uint32_t(qBlue(c));
        g = uint32_t(qGreen(c));
        r = uint32_t(qRed(c));
    });
}

bool ShrinksByArea(QSize picture, QSize box, bool smooth)
{
    return smooth && !box.isEmpty() && picture.width() >= box.width() && picture.height() >= box.height();
}

QImage ScaleToBox(const QImage &picture, QSize box, bool smooth)
{
    if (picture.size() == box)
        return picture;
    if (!ShrinksByArea(picture.size(), box, smooth) || picture.hasAlphaChannel())
        return picture.scaled(box, Qt::IgnoreAspectRatio, smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
    BoxShrinker shrinker(picture.width(), picture.height(), box);
    if (picture.format() == QImage::Format_RGB32) {
        for (int y = 0; y < picture.height(); ++y)
            shrinker.addRgb32Row(reinterpret_cast<const QRgb *>(picture.constScanLine(y)));
    } else if (picture.format() == QImage::Format_Indexed8) {
        const QList<QRgb> table = picture.colorTable();
        std::vector<QRgb> row(size_t(picture.width()));
        for (int y = 0; y < picture.height(); ++y) {
            const uchar *src = picture.constScanLine(y);
            for (int x = 0; x < picture.width(); ++x)
                row[size_t(x)] = src[x] < table.size() ? table[src[x]] : qRgb(0, 0, 0);
            shrinker.addRgb32Row(row.data());
        }
    } else {
        for (int y = 0; y < picture.height(); ++y) {
            const QImage line = picture.copy(0, y, picture.width(), 1).convertToFormat(QImage::Format_RGB32);
            shrinker.addRgb32Row(reinterpret_cast<const QRgb *>(line.constScanLine(0)));
        }
    }
    return shrinker.result();
}

} // namespace brisvale
