#include "imaging/BoxShrink.h"

#include <algorithm>

namespace brisvale {

BoxShrinker::BoxShrinker(int sourceWidth, int sourceHeight, QSize box)
    : sw_(sourceWidth), sh_(sourceHeight), dw_(box.width()), dh_(box.height()), line_(size_t(box.width()) * 3 + 3),
      sums_(size_t(box.width()) * 6), out_(box, QImage::Format_RGB32)
{
    out_.fill(0);
    // Box column j spans [j*sw, (j+1)*sw) and source column x spans
    // [x*dw, (x+1)*dw) on a common scale. As dw <= sw, the source columns
    // inside a box column count whole and only its two ends are shared.
    spans_.reserve(size_t(dw_));
    for (int j = 0; j < dw_; ++j) {
        const int64_t from = int64_t(j) * sw_;
        const int64_t to = from + sw_;
        Span span;
        span.x0 = int(from / dw_);
        span.x1 = int((to - 1) / dw_);
        span.w0 = uint64_t(std::min<int64_t>(int64_t(span.x0 + 1) * dw_, to) - from);
        span.w1 = uint64_t(to - int64_t(span.x1) * dw_);
        spans_.push_back(span);
    }
}

template <typename Pixel>
void BoxShrinker::addRow(const Pixel &pixelAt)
{
    if (y_ >= sh_)
        return;
    for (int j = 0; j < dw_; ++j) {
        const Span &span = spans_[size_t(j)];
        uint32_t b, g, r;
        pixelAt(span.x0, b, g, r);
        uint64_t sb = b * span.w0, sg = g * span.w0, sr = r * span.w0;
        if (span.x1 > span.x0) {
            uint64_t mb = 0, mg = 0, mr = 0;
            for (int x = span.x0 + 1; x < span.x1; ++x) {
                pixelAt(x, b, g, r);
                mb += b;
                mg += g;
                mr += r;
            }
            sb += mb * uint64_t(dw_);
            sg += mg * uint64_t(dw_);
            sr += mr * uint64_t(dw_);
            pixelAt(span.x1, b, g, r);
            sb += b * span.w1;
            sg += g * span.w1;
            sr += r * span.w1;
        }
        line_[size_t(j) * 3] = sb;
        line_[size_t(j) * 3 + 1] = sg;
        line_[size_t(j) * 3 + 2] = sr;
    }
    addLine();
}

void BoxShrinker::addLine()
{
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
        const int first = int((s[0] + area / 2) / area), third = int((s[2] + area / 2) / area);
        out[j] = redFirst_ ? qRgb(first, int((s[1] + area / 2) / area), third)
                           : qRgb(third, int((s[1] + area / 2) / area), first);
    }
    std::fill(sums, sums + n, 0);
}

void BoxShrinker::addBgrPiece(int y, const uint8_t *bgr, int x0, int count)
{
    // Readers keep at most a few hundred rows open at once.
    constexpr int kMostOpen = 4096;
    if (y < y_ || y >= sh_ || y - y_ >= kMostOpen || count <= 0)
        return;
    const size_t at = size_t(y - y_);
    if (open_.size() <= at)
        open_.resize(at + 1);
    OpenRow &row = open_[at];
    if (row.line.empty() || x0 == 0)
        row.line.assign(line_.size(), 0);
    const int end = x0 + count;
    // The box columns this piece reaches, from the first that ends in it.
    int j = int(int64_t(x0) * dw_ / sw_);
    uint64_t *line = row.line.data();
    for (; j < dw_ && spans_[size_t(j)].x0 < end; ++j) {
        const Span &span = spans_[size_t(j)];
        uint64_t *sum = line + size_t(j) * 3;
        int from = std::max(span.x0, x0), to = std::min(span.x1, end - 1);
        const auto weighted = [&](int x, uint64_t w) {
            const uint8_t *p = bgr + size_t(x - x0) * 3;
            sum[0] += p[0] * w;
            sum[1] += p[1] * w;
            sum[2] += p[2] * w;
        };
        // The two shared ends by their weights, the columns between whole.
        if (from == span.x0)
            weighted(from++, span.w0);
        if (to == span.x1 && to >= from)
            weighted(to--, span.w1);
        uint64_t b = 0, g = 0, r = 0;
        for (const uint8_t *p = bgr + size_t(from - x0) * 3; from <= to; ++from, p += 3) {
            b += p[0];
            g += p[1];
            r += p[2];
        }
        sum[0] += b * uint64_t(dw_);
        sum[1] += g * uint64_t(dw_);
        sum[2] += r * uint64_t(dw_);
    }
    if (end >= sw_)
        row.whole = true;
    while (!open_.empty() && open_.front().whole) {
        line_.swap(open_.front().line);
        open_.pop_front();
        addLine();
    }
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

bool ShrinksAcross(QSize picture, QSize box)
{
    return !box.isEmpty() && !picture.isEmpty() && (picture.width() > box.width()) != (picture.height() > box.height());
}

QSize ShrinkTarget(QSize picture, QSize box) { return picture.boundedTo(box); }

QImage ScaleToBox(const QImage &picture, QSize box, bool smooth)
{
    if (picture.size() == box)
        return picture;
    const bool across = smooth && ShrinksAcross(picture.size(), box);
    if ((!ShrinksByArea(picture.size(), box, smooth) && !across) || picture.hasAlphaChannel())
        return picture.scaled(box, Qt::IgnoreAspectRatio, smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
    const QSize target = across ? ShrinkTarget(picture.size(), box) : box;
    BoxShrinker shrinker(picture.width(), picture.height(), target);
    if (picture.format() == QImage::Format_RGB32) {
        for (int y = 0; y < picture.height(); ++y)
            shrinker.addRgb32Row(reinterpret_cast<const QRgb *>(picture.constScanLine(y)));
    } else if (picture.format() == QImage::Format_BGR888) {
        for (int y = 0; y < picture.height(); ++y)
            shrinker.addBgrRow(picture.constScanLine(y));
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
    if (across)
        return shrinker.result().scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return shrinker.result();
}

} // namespace brisvale
