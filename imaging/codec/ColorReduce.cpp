#include "imaging/codec/ColorReduce.h"

#include "imaging/codec/Status.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <libimagequant.h>
#include <unordered_map>
#include <vector>

namespace brisvale::codec {

namespace {

const Palette kVga = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

int clampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Pixels a row sink that takes pieces is given at a time.
constexpr int kPiece = 1 << 16;

// Exact nearest-colour search with a direct-mapped cache in front of it.
class NearestColour {
public:
    explicit NearestColour(const Palette &palette) : palette_(palette)
    {
        keys_.fill(0);
        cells_.fill(kUnknown);
    }
    int find(int r, int g, int b)
    {
        const uint32_t key = 0x1000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
        const size_t slot = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        if (keys_[slot] == key)
            return values_[slot];
        if (palette_.size() > 256)
            return searchAll(r, g, b);
        // Only the colours that can be nearest to some point of this 8 x 8 x 8
        // cell are searched, in palette order, so the first of equals still wins.
        if (cells_[slot] == kUnknown)
            cells_[slot] = candidatesOf(r & ~7, g & ~7, b & ~7);
        const uint32_t cell = cells_[slot];
        const uint16_t *candidate = pool_.data() + (cell >> 9);
        const size_t count = cell & 511;
        int best = 0;
        long bestDistance = -1;
        for (size_t k = 0; k < count; ++k) {
            const Rgb &p = palette_[candidate[k]];
            const long d = distance(r - p.r, g - p.g, b - p.b);
            if (bestDistance < 0 || d < bestDistance) {
                bestDistance = d;
                best = candidate[k];
                if (d == 0)
                    break;
            }
        }
        keys_[slot] = key;
        values_[slot] = int16_t(best);
        return best;
    }

    // Every entry, for a palette larger than any picture's.
    int searchAll(int r, int g, int b) const
    {
        int best = 0;
        long bestDistance = -1;
        for (size_t i = 0; i < palette_.size(); ++i) {
            const long d = distance(r - palette_[i].r, g - palette_[i].g, b - palette_[i].b);
            if (bestDistance < 0 || d < bestDistance) {
                bestDistance = d;
                best = int(i);
            }
        }
        return best;
    }

private:
    static constexpr uint32_t kUnknown = 0xffffffffu;
    static long distance(long dr, long dg, long db) { return dr * dr * 3 + dg * dg * 4 + db * db * 2; }

    // Nearest and farthest a channel value in [lo, lo + 7] lies from v.
    static void span(int lo, int v, long &near, long &far)
    {
        const int hi = lo + 7;
        near = v < lo ? lo - v : v > hi ? v - hi : 0;
        far = std::max(std::abs(v - lo), std::abs(v - hi));
    }

    // The palette entries whose nearest point of the cell is no farther than
    // the best entry's farthest one: the nearest colour of any point in the
    // cell is among them. Packed as offset << 9 | count.
    uint32_t candidatesOf(int r0, int g0, int b0)
    {
        std::vector<long> &nearest = nearestScratch_;
        nearest.resize(palette_.size());
        long bound = -1;
        for (size_t i = 0; i < palette_.size(); ++i) {
            long nr, fr, ng, fg, nb, fb;
            span(r0, palette_[i].r, nr, fr);
            span(g0, palette_[i].g, ng, fg);
            span(b0, palette_[i].b, nb, fb);
            nearest[i] = distance(nr, ng, nb);
            const long farthest = distance(fr, fg, fb);
            if (bound < 0 || farthest < bound)
                bound = farthest;
        }
        const size_t offset = pool_.size();
        for (size_t i = 0; i < palette_.size(); ++i)
            if (nearest[i] <= bound)
                pool_.push_back(uint16_t(i));
        return uint32_t(offset << 9 | (pool_.size() - offset));
    }

    const Palette &palette_;
    std::array<uint32_t, 32768> keys_;
    std::array<int16_t, 32768> values_{};
    std::array<uint32_t, 32768> cells_;
    std::vector<uint16_t> pool_;
    std::vector<long> nearestScratch_;
};

// Floyd-Steinberg over any source onto a fixed palette.
int remapFixed(const Image &src, const Palette &srcPalette, const Palette &target, int outBits, bool dither, Image &out)
{
    if (target.empty())
        return kBadArgument;
    int rc = Image::create(src.width(), src.height(), outBits, out);
    if (rc != kOk)
        return rc;
    const int w = src.width();
    std::vector<uint8_t> bgr(size_t(w) * 3);
    std::vector<int> cur(size_t(w + 2) * 3), next(size_t(w + 2) * 3);
    auto nearest = std::make_unique<NearestColour>(target);
    for (int y = 0; y < src.height(); ++y) {
        rowToBgr(src, srcPalette, y, bgr.data());
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < w; ++x) {
            int c[3];
            for (int k = 0; k < 3; ++k)
                c[k] = clampByte(bgr[size_t(x) * 3 + size_t(k)]
                                 + (dither ? cur[size_t(x + 1) * 3 + size_t(k)] / 16 : 0));
            const int idx = nearest->find(c[2], c[1], c[0]);
            out.setIndex(x, y, idx);
            if (!dither)
                continue;
            const Rgb &p = target[size_t(idx)];
            const int e[3] = {c[0] - p.b, c[1] - p.g, c[2] - p.r};
            for (int k = 0; k < 3; ++k) {
                cur[size_t(x + 2) * 3 + size_t(k)] += e[k] * 7;
                next[size_t(x) * 3 + size_t(k)] += e[k] * 3;
                next[size_t(x + 1) * 3 + size_t(k)] += e[k] * 5;
                next[size_t(x + 2) * 3 + size_t(k)] += e[k];
            }
        }
        std::swap(cur, next);
    }
    return kOk;
}

int toMono(const Image &src, const Palette &srcPalette, bool dither, Image &out, Palette &outPalette)
{
    int rc = Image::create(src.width(), src.height(), 1, out);
    if (rc != kOk)
        return rc;
    const int w = src.width();
    std::vector<uint8_t> bgr(size_t(w) * 3);
    std::vector<int> cur(size_t(w) + 2), next(size_t(w) + 2);
    for (int y = 0; y < src.height(); ++y) {
        rowToBgr(src, srcPalette, y, bgr.data());
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < w; ++x) {
            const uint8_t *p = &bgr[size_t(x) * 3];
            const int lum = (p[2] * 299 + p[1] * 587 + p[0] * 114) / 1000;
            const int v = dither ? lum + cur[size_t(x) + 1] / 16 : lum;
            const int bit = v >= 128 ? 1 : 0;
            out.setIndex(x, y, bit);
            if (!dither)
                continue;
            const int e = v - (bit ? 255 : 0);
            cur[size_t(x) + 2] += e * 7;
            next[size_t(x)] += e * 3;
            next[size_t(x) + 1] += e * 5;
            next[size_t(x) + 2] += e;
        }
        std::swap(cur, next);
    }
    outPalette = {{0, 0, 0}, {255, 255, 255}};
    return kOk;
}

// A picture, or the tile of it that starts at (x0, y0).
struct LiqSource {
    const Image *image;
    const Palette *palette;
    int x0 = 0;
    int y0 = 0;
};

void liqRow(liq_color rowOut[], int y, int width, void *user)
{
    const auto *s = static_cast<const LiqSource *>(user);
    const Image &img = *s->image;
    y += s->y0;
    if (img.bits() == 24) {
        const uint8_t *p = img.row(y) + 3 * size_t(s->x0);
        for (int x = 0; x < width; ++x, p += 3)
            rowOut[x] = liq_color{p[2], p[1], p[0], 255};
        return;
    }
    const Palette &pal = *s->palette;
    for (int x = 0; x < width; ++x) {
        const size_t i = size_t(img.index(s->x0 + x, y));
        const Rgb c = i < pal.size() ? pal[i] : Rgb{};
        rowOut[x] = liq_color{c.r, c.g, c.b, 255};
    }
}

template <typename T, void (*Destroy)(T *)>
struct LiqHandle {
    T *p = nullptr;
    ~LiqHandle()
    {
        if (p)
            Destroy(p);
    }
};

// libimagequant (2.17) loses a row buffer for every picture of more than 2^22
// pixels: it sets up its low-memory rows twice. Larger pictures therefore
// give their colours to a histogram in tiles below that size, and are mapped
// onto the palette here.
constexpr int64_t kLiqWholePixels = int64_t(1) << 22;

int quantizeInTiles(const Image &src, const Palette &srcPalette, liq_attr *attr, int outBits, bool dither, Image &out,
                    Palette &outPalette)
{
    LiqHandle<liq_histogram, liq_histogram_destroy> histogram{liq_histogram_create(attr)};
    if (!histogram.p)
        return kOutOfMemory;
    const int tileWidth = int(std::min<int64_t>(src.width(), kLiqWholePixels));
    const int tileHeight = int(std::max<int64_t>(1, kLiqWholePixels / tileWidth));
    for (int y0 = 0; y0 < src.height(); y0 += tileHeight) {
        for (int x0 = 0; x0 < src.width(); x0 += tileWidth) {
            LiqSource tile{&src, &srcPalette, x0, y0};
            LiqHandle<liq_image, liq_image_destroy> image{
                liq_image_create_custom(attr, liqRow, &tile, std::min(tileWidth, src.width() - x0),
                                        std::min(tileHeight, src.height() - y0), 0)};
            if (!image.p)
                return kTooLarge;
            if (liq_histogram_add_image(histogram.p, attr, image.p) != LIQ_OK)
                return kOutOfMemory;
        }
    }
    LiqHandle<liq_result, liq_result_destroy> result;
    if (liq_histogram_quantize(histogram.p, attr, &result.p) != LIQ_OK || !result.p)
        return kOutOfMemory;
    const liq_palette *lp = liq_get_palette(result.p);
    Palette palette;
    for (unsigned i = 0; i < lp->count; ++i)
        palette.push_back(Rgb{lp->entries[i].r, lp->entries[i].g, lp->entries[i].b});
    const int rc = remapFixed(src, srcPalette, palette, outBits, dither, out);
    if (rc == kOk)
        outPalette = std::move(palette);
    return rc;
}

int quantize(const Image &src, const Palette &srcPalette, int colours, int outBits, bool dither, Image &out,
             Palette &outPalette)
{
    LiqHandle<liq_attr, liq_attr_destroy> attr{liq_attr_create()};
    if (!attr.p)
        return kOutOfMemory;
    liq_set_max_colors(attr.p, colours);
    liq_set_speed(attr.p, 8);
    if (int64_t(src.width()) * src.height() > kLiqWholePixels)
        return quantizeInTiles(src, srcPalette, attr.p, outBits, dither, out, outPalette);
    LiqSource source{&src, &srcPalette};
    LiqHandle<liq_image, liq_image_destroy> image{
        liq_image_create_custom(attr.p, liqRow, &source, src.width(), src.height(), 0)};
    if (!image.p)
        return kTooLarge;
    LiqHandle<liq_result, liq_result_destroy> result;
    if (liq_image_quantize(image.p, attr.p, &result.p) != LIQ_OK || !result.p)
        return kOutOfMemory;
    liq_set_dithering_level(result.p, dither ? 1.0f : 0.0f);
    Image indices;
    int rc = Image::create(src.width(), src.height(), 8, indices);
    if (rc != kOk)
        return rc;
    std::vector<unsigned char *> rows(size_t(src.height()));
    for (int y = 0; y < src.height(); ++y)
        rows[size_t(y)] = indices.row(y);
    if (liq_write_remapped_image_rows(result.p, image.p, rows.data()) != LIQ_OK)
        return kOutOfMemory;
    const liq_palette *lp = liq_get_palette(result.p);
    outPalette.clear();
    for (unsigned i = 0; i < lp->count; ++i)
        outPalette.push_back(Rgb{lp->entries[i].r, lp->entries[i].g, lp->entries[i].b});
    if (outBits == 8) {
        out = std::move(indices);
        return kOk;
    }
    rc = Image::create(src.width(), src.height(), outBits, out);
    if (rc != kOk)
        return rc;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            out.setIndex(x, y, indices.row(y)[x]);
    return kOk;
}

// A true-colour picture of few colours gets exactly those colours; false when
// it has more than `colours` (found early for a photograph).
bool exactPalette(const Image &src, size_t colours, int outBits, Image &out, Palette &outPalette)
{
    std::unordered_map<uint32_t, uint8_t> index;
    for (int y = 0; y < src.height(); ++y) {
        const uint8_t *p = src.row(y);
        for (int x = 0; x < src.width(); ++x, p += 3) {
            const uint32_t key = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            if (index.find(key) != index.end())
                continue;
            if (index.size() == colours)
                return false;
            index.emplace(key, uint8_t(index.size()));
        }
    }
    if (Image::create(src.width(), src.height(), outBits, out) != kOk)
        return false;
    outPalette.assign(index.size(), Rgb{});
    for (const auto &[key, i] : index)
        outPalette[i] = Rgb{uint8_t(key >> 16), uint8_t(key >> 8), uint8_t(key)};
    for (int y = 0; y < src.height(); ++y) {
        const uint8_t *p = src.row(y);
        for (int x = 0; x < src.width(); ++x, p += 3)
            out.setIndex(x, y, index[(uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0]]);
    }
    return true;
}

int repack(const Image &src, int outBits, Image &out)
{
    int rc = Image::create(src.width(), src.height(), outBits, out);
    if (rc != kOk)
        return rc;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            out.setIndex(x, y, src.index(x, y));
    return kOk;
}

int expandTo24(const Image &src, const Palette &palette, Image &out)
{
    int rc = Image::create(src.width(), src.height(), 24, out);
    if (rc != kOk)
        return rc;
    for (int y = 0; y < src.height(); ++y)
        rowToBgr(src, palette, y, out.row(y));
    return kOk;
}

int highestIndex(const Image &src)
{
    int high = 0;
    for (int y = 0; y < src.height(); ++y) {
        const uint8_t *r = src.row(y);
        for (int x = 0; x < src.width(); ++x)
            high = std::max<int>(high, r[x]);
    }
    return high;
}

int reduce(const Image &image, const Palette &palette, int depth, bool dither, const Palette *start, Image &out,
           Palette &outPalette)
{
    const int bits = image.bits();
    switch (depth) {
    case 24: outPalette.clear(); return expandTo24(image, palette, out);
    case 8:
        if (start && !start->empty()) {
            outPalette = *start;
            return remapFixed(image, palette, *start, 8, dither, out);
        }
        if (bits == 24)
            return exactPalette(image, 256, 8, out, outPalette)
                       ? kOk
                       : quantize(image, palette, 256, 8, dither, out, outPalette);
        outPalette = palette;
        return repack(image, 8, out);
    case 4:
        if (bits == 24 && exactPalette(image, 16, 4, out, outPalette))
            return kOk;
        if (bits == 24 || (bits == 8 && highestIndex(image) > 15))
            return quantize(image, palette, 16, 4, dither, out, outPalette);
        outPalette = palette;
        outPalette.resize(std::min<size_t>(outPalette.size(), 16));
        return repack(image, 4, out);
    case 1: return toMono(image, palette, dither, out, outPalette);
    case 0: outPalette = kVga; return remapFixed(image, palette, kVga, 4, dither, out);
    default: return kBadDepth;
    }
}

} // namespace

bool isDepthCode(int depth) { return depth == 0 || depth == 1 || depth == 4 || depth == 8 || depth == 24; }

const Palette &vgaPalette() { return kVga; }

void rowToBgr(const Image &image, const Palette &palette, int y, uint8_t *out)
{
    rowToBgr(image, palette, y, 0, image.width(), out);
}

void rowToBgr(const Image &image, const Palette &palette, int y, int x0, int count, uint8_t *out)
{
    if (image.bits() == 24) {
        std::memcpy(out, image.row(y) + size_t(x0) * 3, size_t(count) * 3);
        return;
    }
    if (image.bits() == 8) {
        // The common indexed kind, without picking bits out of bytes.
        Rgb table[256];
        std::fill(std::begin(table), std::end(table), Rgb{});
        std::copy_n(palette.begin(), std::min<size_t>(palette.size(), 256), table);
        const uint8_t *src = image.row(y) + x0;
        for (int x = 0; x < count; ++x, out += 3) {
            const Rgb c = table[src[x]];
            out[0] = c.b;
            out[1] = c.g;
            out[2] = c.r;
        }
        return;
    }
    for (int x = x0; x < x0 + count; ++x, out += 3) {
        const size_t i = size_t(image.index(x, y));
        const Rgb c = i < palette.size() ? palette[i] : Rgb{};
        out[0] = c.b;
        out[1] = c.g;
        out[2] = c.r;
    }
}

int toDepth(Image &image, Palette &palette, const ReadOptions &options)
{
    if (image.empty())
        return kNoPicture;
    if (!isDepthCode(options.depth))
        return kBadDepth;
    if (image.bits() != 24 && palette.size() < (size_t(1) << image.bits()))
        palette.resize(size_t(1) << image.bits());
    const int bits = image.bits();
    const bool startGiven = options.start && !options.start->empty();
    // Pictures already at the depth asked stay as they are.
    if ((options.depth == bits && !(bits == 8 && startGiven)) || (options.depth == 24 && bits == 24)) {
        if (bits == 24)
            palette.clear();
        return kOk;
    }
    Image out;
    Palette outPalette;
    const int rc = reduce(image, palette, options.depth, options.dither, options.start, out, outPalette);
    if (rc != kOk)
        return rc;
    image = std::move(out);
    palette = std::move(outPalette);
    return kOk;
}

int toWriteDepth(const Image &image, const Palette &palette, int depth, Image &out, Palette &outPalette)
{
    if (image.empty())
        return kNoPicture;
    Palette padded = palette;
    if (image.bits() != 24 && padded.size() < (size_t(1) << image.bits()))
        padded.resize(size_t(1) << image.bits());
    return reduce(image, padded, depth, true, nullptr, out, outPalette);
}

int finishRead(Image &image, Palette &palette, Palette filePalette, const ReadOptions &options)
{
    palette = std::move(filePalette);
    const int rc = toDepth(image, palette, options);
    if (rc != kOk)
        image.clear();
    return rc;
}

int prepareWrite(const Image &image, const Palette &palette, int depth, WriteSource &source)
{
    const int bits = depth == 0 ? 4 : depth;
    source.image = &image;
    source.palette = &palette;
    if (depth != 0 && image.bits() == bits)
        return kOk;
    const int rc = toWriteDepth(image, palette, depth, source.converted, source.convertedPalette);
    if (rc != kOk)
        return rc;
    source.image = &source.converted;
    source.palette = &source.convertedPalette;
    return kOk;
}

int RowFeed::begin(const ReadOptions &options, int width, int height, int bits, Image &image, bool inOrder)
{
    sink_ = nullptr;
    deferred_ = false;
    given_ = 0;
    target_ = &image;
    if (options.sink && options.depth == 24 && options.sink->wants(width, height)) {
        sink_ = options.sink;
        // Rows already in blue, green, red go to the sink as they are.
        if (bits != 24)
            bgr_.resize(size_t(sink_->takesPieces() ? std::min(width, kPiece) : width) * 3);
        if (!inOrder) {
            deferred_ = true;
            return Image::create(width, height, bits, image);
        }
        if (const int rc = Image::create(width, 1, bits, row_); rc != kOk)
            return rc;
        target_ = &row_;
        sink_->rowByRow();
        return kOk;
    }
    return Image::create(width, height, bits, image);
}

void RowFeed::done(const Palette &filePalette)
{
    if (streaming())
        give(row_, 0, filePalette);
}

void RowFeed::give(const Image &image, int y, const Palette &filePalette)
{
    // As a whole picture turns true colour: indices past the palette are black.
    const int row = given_++;
    if (image.bits() == 24) {
        sink_->take(image.row(y));
        return;
    }
    if (!sink_->takesPieces()) {
        rowToBgr(image, filePalette, y, bgr_.data());
        sink_->take(bgr_.data());
        return;
    }
    for (int x0 = 0; x0 < image.width(); x0 += kPiece) {
        const int count = std::min(kPiece, image.width() - x0);
        rowToBgr(image, filePalette, y, x0, count, bgr_.data());
        sink_->takePiece(row, bgr_.data(), x0, count);
    }
}

int RowFeed::finish(Image &image, Palette &palette, Palette filePalette, const ReadOptions &options)
{
    if (!sink_)
        return finishRead(image, palette, std::move(filePalette), options);
    if (deferred_)
        for (int y = 0; y < image.height(); ++y)
            give(image, y, filePalette);
    image.clear();
    palette.clear();
    return kOk;
}

} // namespace brisvale::codec
