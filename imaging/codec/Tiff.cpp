#include "imaging/codec/Tiff.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/Cmyk.h"
#include "imaging/codec/ColourSpace.h"
#include "imaging/codec/Status.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <tiffio.h>

namespace brisvale::codec {

namespace {

struct SourceState {
    ByteSource *source;
    uint64_t pos;
    bool truncated;
};

tmsize_t readProc(thandle_t h, void *buf, tmsize_t n)
{
    auto *s = static_cast<SourceState *>(h);
    if (n <= 0)
        return 0;
    const size_t take = s->source->read(s->pos, static_cast<uint8_t *>(buf), size_t(n));
    if (take < size_t(n))
        s->truncated = true;
    s->pos += take;
    return tmsize_t(take);
}

tmsize_t writeProc(thandle_t, void *, tmsize_t) { return 0; }

toff_t seekProc(thandle_t h, toff_t off, int whence)
{
    auto *s = static_cast<SourceState *>(h);
    uint64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? s->pos : s->source->size();
    if (off > UINT64_MAX - base)
        return toff_t(-1);
    s->pos = base + off;
    return s->pos;
}

int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t h) { return static_cast<SourceState *>(h)->source->size(); }
int mapProc(thandle_t, void **, toff_t *) { return 0; }
void unmapProc(thandle_t, void *, toff_t) {}

int silentHandler(TIFF *, void *, const char *, const char *, va_list) { return 1; }

bool looksLikeTiff(const uint8_t *d, size_t size)
{
    return size >= 4
           && ((d[0] == 'I' && d[1] == 'I' && (d[2] == 42 || d[2] == 43) && d[3] == 0)
               || (d[0] == 'M' && d[1] == 'M' && d[2] == 0 && (d[3] == 42 || d[3] == 43)));
}

// A TIFF file opened from its source, with the size of its first picture:
// status() is kNotTiff, the failure of opening it, or kOk.
class TiffFile {
public:
    explicit TiffFile(ByteSource &source) : source_{&source, 0, false}
    {
        const uint8_t *magic = source.at(0, 4);
        if (!magic || !looksLikeTiff(magic, 4)) {
            status_ = kNotTiff;
            return;
        }
        TIFFOpenOptions *opts = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetMaxSingleMemAlloc(opts, tmsize_t(std::min<uint64_t>(limits().maxPixels * 4, INT64_MAX)));
        TIFFOpenOptionsSetErrorHandlerExtR(opts, silentHandler, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(opts, silentHandler, nullptr);
        tif_ = TIFFClientOpenExt("picture", "rm", &source_, readProc, writeProc, seekProc, closeProc, sizeProc, mapProc,
                                 unmapProc, opts);
        TIFFOpenOptionsFree(opts);
        if (!tif_) {
            status_ = failure();
            return;
        }
        TIFFGetField(tif_, TIFFTAG_IMAGEWIDTH, &width_);
        TIFFGetField(tif_, TIFFTAG_IMAGELENGTH, &height_);
    }
    ~TiffFile()
    {
        if (tif_)
            TIFFClose(tif_);
    }
    int status() const { return status_; }
    TIFF *get() const { return tif_; }
    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    int failure() const { return source_.truncated ? kTruncated : kDamaged; }

private:
    SourceState source_;
    TIFF *tif_ = nullptr;
    int status_ = kOk;
    uint32_t width_ = 0, height_ = 0;
};

struct RgbaImage {
    TIFFRGBAImage img{};
    bool begun = false;
    ~RgbaImage()
    {
        if (begun)
            TIFFRGBAImageEnd(&img);
    }
};

// Puts each stored row, as blue, green, red bytes, where the file's
// orientation says it belongs in the upright picture.
class Placer {
public:
    Placer(uint16_t orientation, uint32_t width, uint32_t height) : width_(width), height_(height)
    {
        turned_ = orientation >= ORIENTATION_LEFTTOP;
        // Along a stored row, and across the stored rows, the order is reversed:
        mirrorX_ = orientation == ORIENTATION_TOPRIGHT || orientation == ORIENTATION_BOTRIGHT
                   || orientation == ORIENTATION_RIGHTBOT || orientation == ORIENTATION_LEFTBOT;
        mirrorY_ = orientation == ORIENTATION_BOTRIGHT || orientation == ORIENTATION_BOTLEFT
                   || orientation == ORIENTATION_RIGHTTOP || orientation == ORIENTATION_RIGHTBOT;
    }
    bool turned() const { return turned_; }
    bool inOrder() const { return !turned_ && !mirrorY_; }
    bool upright() const { return !turned_ && !mirrorX_ && !mirrorY_; }
    // Where stored row `sy` goes and how far apart its pixels lie there.
    uint8_t *target(Image &out, RowFeed &feed, uint32_t sy, ptrdiff_t &step) const
    {
        const uint32_t across = mirrorY_ ? height_ - 1 - sy : sy;
        uint8_t *dst = turned_ ? out.row(0) + 3 * size_t(across) : out.row(feed.line(int(across)));
        step = turned_ ? ptrdiff_t(out.stride()) : 3;
        if (mirrorX_) {
            dst += step * ptrdiff_t(width_ - 1);
            step = -step;
        }
        return dst;
    }

private:
    uint32_t width_, height_;
    bool turned_ = false, mirrorX_ = false, mirrorY_ = false;
};

// The kinds whose rows are turned into colours here: grey, palette, RGB and
// CMYK, with or without alpha, their samples side by side or (at 8 and 16
// bits, in strips) in planes. Other kinds go through libtiff's RGBA helper.
struct Layout {
    uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK;
    int colours = 1; // colour samples: 1, 3 or 4
    int alpha = -1;  // sample index of the alpha, or -1
    bool premultiplied = false;
    bool planes = false;
    std::vector<Rgb> map;              // palette kind
    mutable std::vector<uint8_t> inks; // CMYK at 8 bits, for a row that is not
    // CMYK through the file's own ink profile, when it has one.
    std::shared_ptr<const ColourConversion> inkProfile;
};

bool directLayout(TIFF *tif, Layout &l)
{
    uint16_t planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT, compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric))
        return false;
    l.planes = planar != PLANARCONFIG_CONTIG && l.samples > 1;
    if (format != SAMPLEFORMAT_UINT || (l.planes && (TIFFIsTiled(tif) || l.bits < 8)))
        return false;
    if (l.bits != 1 && l.bits != 2 && l.bits != 4 && l.bits != 8 && l.bits != 16)
        return false;
    if (l.photometric == PHOTOMETRIC_YCBCR && compression == COMPRESSION_JPEG && l.bits == 8 && !l.planes) {
        // The JPEG decoder turns these into RGB itself.
        if (!TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB))
            return false;
        l.photometric = PHOTOMETRIC_RGB;
    }
    switch (l.photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE: l.colours = 1; break;
    case PHOTOMETRIC_RGB:
        l.colours = 3;
        if (l.bits < 8)
            return false;
        break;
    case PHOTOMETRIC_SEPARATED: {
        uint16_t inks = INKSET_CMYK;
        TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inks);
        l.colours = 4;
        if (l.bits < 8 || inks != INKSET_CMYK)
            return false;
        break;
    }
    case PHOTOMETRIC_PALETTE: {
        l.colours = 1;
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (l.bits > 8 || !TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b))
            return false;
        const size_t n = size_t(1) << l.bits;
        // Some writers give 8-bit entries in the 16-bit table.
        bool eight = true;
        for (size_t i = 0; i < n; ++i)
            if (r[i] > 255 || g[i] > 255 || b[i] > 255)
                eight = false;
        for (size_t i = 0; i < n; ++i)
            l.map.push_back(eight ? Rgb{uint8_t(r[i]), uint8_t(g[i]), uint8_t(b[i])}
                                  : Rgb{uint8_t(r[i] >> 8), uint8_t(g[i] >> 8), uint8_t(b[i] >> 8)});
        break;
    }
    default: return false;
    }
    if (l.samples < l.colours)
        return false;
    uint16_t extras = 0;
    uint16_t *kinds = nullptr;
    if (l.samples > l.colours && TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extras, &kinds) && extras > 0
        && (kinds[0] == EXTRASAMPLE_ASSOCALPHA || kinds[0] == EXTRASAMPLE_UNASSALPHA)) {
        if (l.photometric == PHOTOMETRIC_PALETTE)
            return false;
        l.alpha = l.colours;
        l.premultiplied = kinds[0] == EXTRASAMPLE_ASSOCALPHA;
    }
    return true;
}

// One stored row, in the file's samples, as blue, green, red bytes.
void rowToColours(const Layout &l, const uint8_t *src, uint32_t width, uint8_t *bgr)
{
    if (l.bits == 8 && l.alpha < 0 && l.colours < 4) {
        // The usual photographs and scans, a byte a sample.
        const size_t n = l.samples;
        if (l.colours == 3) {
            for (uint32_t x = 0; x < width; ++x, src += n, bgr += 3) {
                bgr[0] = src[2];
                bgr[1] = src[1];
                bgr[2] = src[0];
            }
            return;
        }
        if (l.photometric != PHOTOMETRIC_PALETTE) {
            const uint8_t flip = l.photometric == PHOTOMETRIC_MINISWHITE ? 255 : 0;
            for (uint32_t x = 0; x < width; ++x, src += n, bgr += 3)
                bgr[0] = bgr[1] = bgr[2] = uint8_t(*src ^ flip);
            return;
        }
    }
    const int max = (1 << l.bits) - 1;
    auto sample = [&](uint32_t x, int s) -> int {
        const size_t i = size_t(x) * l.samples + size_t(s);
        switch (l.bits) {
        case 8: return src[i];
        case 16: return reinterpret_cast<const uint16_t *>(src)[i] >> 8;
        default: {
            const size_t bit = i * l.bits;
            const int v = (src[bit >> 3] >> (8 - l.bits - int(bit & 7))) & max;
            return l.photometric == PHOTOMETRIC_PALETTE ? v : v * 255 / max;
        }
        }
    };
    if (l.colours == 4) {
        const uint8_t *cmyk = src;
        if (l.bits != 8 || l.samples != 4) {
            l.inks.resize(size_t(width) * 4);
            for (uint32_t x = 0; x < width; ++x)
                for (int s = 0; s < 4; ++s)
                    l.inks[4 * size_t(x) + size_t(s)] = uint8_t(sample(x, s));
            cmyk = l.inks.data();
        }
        cmykToBgr(cmyk, 0, bgr, 0, int(width), 1, false, l.inkProfile.get());
        if (l.alpha >= 0)
            for (uint32_t x = 0; x < width; ++x, bgr += 3) {
                const int a = sample(x, l.alpha);
                for (int c = 0; c < 3; ++c)
                    bgr[c] = uint8_t((bgr[c] * a + 255 * (255 - a) + 127) / 255);
            }
        return;
    }
    for (uint32_t x = 0; x < width; ++x, bgr += 3) {
        int r, g, b;
        if (l.photometric == PHOTOMETRIC_PALETTE) {
            const size_t i = size_t(sample(x, 0));
            const Rgb c = i < l.map.size() ? l.map[i] : Rgb{};
            r = c.r, g = c.g, b = c.b;
        } else if (l.colours == 1) {
            const int v = sample(x, 0);
            r = g = b = l.photometric == PHOTOMETRIC_MINISWHITE ? 255 - v : v;
        } else {
            r = sample(x, 0), g = sample(x, 1), b = sample(x, 2);
        }
        if (l.alpha >= 0) {
            const int a = sample(x, l.alpha);
            // Laid on white: premultiplied colours get the uncovered share
            // of white added, the others are mixed with it.
            auto over = [&](int c) {
                return l.premultiplied ? std::min(255, c + 255 - a) : (c * a + 255 * (255 - a) + 127) / 255;
            };
            r = over(r), g = over(g), b = over(b);
        }
        bgr[0] = uint8_t(b);
        bgr[1] = uint8_t(g);
        bgr[2] = uint8_t(r);
    }
}

void place(const uint8_t *bgr, uint32_t count, uint8_t *dst, ptrdiff_t step)
{
    for (uint32_t x = 0; x < count; ++x, dst += step, bgr += 3) {
        dst[0] = bgr[0];
        dst[1] = bgr[1];
        dst[2] = bgr[2];
    }
}

// Tiles as wide as the picture whose stored rows are no longer than the
// picture's (a byte to three a pixel) are decoded into the picture's own
// memory, only as far as the picture reaches, and widened there from the
// last row back: a single tile as large as the picture needs no second copy.
int decodeTilesInPlace(TIFF *tif, const Layout &l, uint32_t width, uint32_t height, uint32_t th, size_t tileRow,
                       Image &out, ProgressReporter &progress, int failure)
{
    std::vector<uint8_t> bgr(size_t(width) * 3);
    for (uint32_t y0 = 0; y0 < height; y0 += th) {
        const uint32_t rows = std::min(th, height - y0);
        uint8_t *base = out.row(int(y0));
        const tmsize_t want = tmsize_t(size_t(rows) * tileRow);
        if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, 0, y0, 0, 0), base, want) != want)
            return failure;
        // Stored row y ends at or before the place of picture row y, so no
        // stored row is overwritten before it has been read.
        for (uint32_t y = rows; y-- > 0;) {
            rowToColours(l, base + size_t(y) * tileRow, width, bgr.data());
            std::memcpy(out.row(int(y0 + y)), bgr.data(), bgr.size());
        }
        if (!progress.report(uint64_t(y0) + rows, height))
            return kStopped;
    }
    return kOk;
}

// The stored rows of a picture in strips, one after another, with their
// samples side by side. Planes stored apart are read each through a libtiff
// handle of its own: a handle keeps one decoder, so reading the planes by
// turns through one would decode each strip again from its start.
class StripRows {
public:
    // kOk, or the failure of opening the other planes' handles.
    int open(TIFF *tif, const Layout &l, ByteSource &source, uint32_t width)
    {
        const tmsize_t line = TIFFScanlineSize(tif);
        if (line <= 0 || checkWorkBytes(uint64_t(line), 1) != kOk)
            return kDamaged;
        raw_.resize(size_t(line));
        tifs_.push_back(tif);
        if (!l.planes)
            return kOk;
        bytes_ = l.bits / 8;
        samples_ = l.samples;
        width_ = width;
        row_.resize(size_t(width) * samples_ * bytes_);
        for (int s = 1; s < samples_; ++s) {
            auto &more = sources_.emplace_back(std::make_unique<ByteSource>());
            if (more->openSame(source) != kOk)
                return kCannotOpen;
            auto &file = files_.emplace_back(std::make_unique<TiffFile>(*more));
            if (file->status() != kOk)
                return file->status();
            tifs_.push_back(file->get());
        }
        return kOk;
    }
    // Stored row `y` (asked for in order), or nullptr when it cannot be read.
    const uint8_t *read(uint32_t y)
    {
        for (size_t s = 0; s < tifs_.size(); ++s) {
            if (TIFFReadScanline(tifs_[s], raw_.data(), y, uint16_t(s)) < 0)
                return nullptr;
            if (tifs_.size() == 1)
                return raw_.data();
            uint8_t *to = row_.data() + s * bytes_;
            const uint8_t *from = raw_.data();
            const size_t step = size_t(samples_) * bytes_;
            for (uint32_t x = 0; x < width_; ++x, to += step, from += bytes_)
                std::memcpy(to, from, bytes_);
        }
        return row_.data();
    }

private:
    std::vector<std::unique_ptr<ByteSource>> sources_;
    std::vector<std::unique_ptr<TiffFile>> files_;
    std::vector<TIFF *> tifs_;
    std::vector<uint8_t> raw_, row_;
    size_t bytes_ = 1;
    int samples_ = 1;
    uint32_t width_ = 0;
};

// Strips are read a row at a time, and libtiff decodes even one strip as
// large as the picture a row at a time; tiles one at a time. Nothing the
// size of the picture is held besides the picture.
int decodeDirect(TIFF *tif, ByteSource &source, const Layout &l, uint32_t width, uint32_t height, const Placer &placer,
                 Image &out, RowFeed &feed, ProgressReporter &progress, int failure)
{
    std::vector<uint8_t> bgr(size_t(width) * 3);
    if (!TIFFIsTiled(tif)) {
        StripRows rows;
        if (const int rc = rows.open(tif, l, source, width); rc != kOk)
            return rc;
        // Red, green, blue bytes go to a sink that takes them so as they are.
        const bool asStored = placer.upright() && l.bits == 8 && l.alpha < 0 && l.colours == 3 && l.samples == 3
                              && feed.redFirst();
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t *raw = rows.read(y);
            if (!raw)
                return failure;
            ptrdiff_t step = 0;
            uint8_t *dst = placer.target(out, feed, y, step);
            if (asStored) {
                std::memcpy(dst, raw, size_t(width) * 3);
            } else if (step == 3) {
                rowToColours(l, raw, width, dst);
            } else {
                rowToColours(l, raw, width, bgr.data());
                place(bgr.data(), width, dst, step);
            }
            feed.done(Palette());
            if (!progress.report(uint64_t(y) + 1, height))
                return kStopped;
        }
        return kOk;
    }
    uint32_t tw = 0, th = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
    const tmsize_t tileBytes = TIFFTileSize(tif);
    const tmsize_t tileRow = TIFFTileRowSize(tif);
    if (tw == 0 || th == 0 || tileBytes <= 0 || tileRow <= 0 || checkWorkBytes(uint64_t(tileBytes), 1) != kOk)
        return kDamaged;
    // Tiles are placed straight into the picture, so the rows must all be there.
    if (feed.streaming())
        return kUnsupported;
    if (tw >= width && placer.upright() && uint64_t(tileRow) <= out.stride())
        return decodeTilesInPlace(tif, l, width, height, th, size_t(tileRow), out, progress, failure);
    std::vector<uint8_t> tile(static_cast<size_t>(tileBytes));
    std::vector<uint8_t> part(size_t(tw) * 3);
    for (uint32_t y0 = 0; y0 < height; y0 += th) {
        for (uint32_t x0 = 0; x0 < width; x0 += tw) {
            if (TIFFReadTile(tif, tile.data(), x0, y0, 0, 0) < 0)
                return failure;
            const uint32_t cols = std::min(tw, width - x0);
            for (uint32_t y = y0; y < std::min(height, y0 + th); ++y) {
                rowToColours(l, tile.data() + size_t(y - y0) * size_t(tileRow), cols, part.data());
                ptrdiff_t step = 0;
                uint8_t *dst = placer.target(out, feed, y, step) + step * ptrdiff_t(x0);
                place(part.data(), cols, dst, step);
            }
        }
        if (!progress.report(std::min(height, y0 + th), height))
            return kStopped;
    }
    return kOk;
}

int decodeRgba(TIFF *tif, uint32_t width, uint32_t height, uint16_t orientation, const Placer &placer, Image &out,
               RowFeed &feed, ProgressReporter &progress, int failure)
{
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message))
        return kUnsupported;
    RgbaImage rgba;
    if (!TIFFRGBAImageBegin(&rgba.img, tif, 1, message))
        return kUnsupported;
    rgba.begun = true;
    // libtiff can only flip; asked for the file's own orientation it hands the
    // rows over as stored, and every orientation is applied while placing them.
    rgba.img.req_orientation = orientation;
    // Bands no smaller than a strip or tile row, so that no strip is decoded
    // twice (the helper decodes every strip or tile a band touches whole).
    uint32_t band = 64;
    uint32_t perStrip = 0;
    if (TIFFIsTiled(tif))
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &perStrip);
    else
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &perStrip);
    band = std::max(band, std::min(perStrip, height));
    if (checkWorkBytes(uint64_t(width) * band, 4) != kOk)
        return kTooLarge;
    std::vector<uint32_t> raster(size_t(width) * band);
    std::vector<uint8_t> bgr(size_t(width) * 3);
    for (uint32_t row = 0; row < height; row += band) {
        const uint32_t rows = std::min(band, height - row);
        rgba.img.row_offset = int(row);
        rgba.img.col_offset = 0;
        if (!TIFFRGBAImageGet(&rgba.img, raster.data(), width, rows))
            return failure;
        for (uint32_t y = 0; y < rows; ++y) {
            const uint32_t *src = raster.data() + size_t(y) * width;
            for (uint32_t x = 0; x < width; ++x) {
                // Colours come premultiplied by their alpha; adding the
                // uncovered share of white lays them on a white ground.
                const uint32_t p = src[x];
                const int a = int(TIFFGetA(p));
                bgr[3 * size_t(x)] = uint8_t(std::min(255, int(TIFFGetB(p)) + 255 - a));
                bgr[3 * size_t(x) + 1] = uint8_t(std::min(255, int(TIFFGetG(p)) + 255 - a));
                bgr[3 * size_t(x) + 2] = uint8_t(std::min(255, int(TIFFGetR(p)) + 255 - a));
            }
            ptrdiff_t step = 0;
            uint8_t *dst = placer.target(out, feed, row + y, step);
            place(bgr.data(), width, dst, step);
            feed.done(Palette());
        }
        if (!progress.report(uint64_t(row) + rows, height))
            return kStopped;
    }
    return kOk;
}

// The ICC profile tag, when it is of the kind the picture's colours are:
// red, green and blue, grey, or inks.
ColourSpacePtr colourOf(TIFF *tif)
{
    uint32_t size = 0;
    const uint8_t *profile = nullptr;
    uint16_t photometric = 0;
    if (!TIFFGetField(tif, TIFFTAG_ICCPROFILE, &size, &profile) || !profile
        || !TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
        return nullptr;
    ColourSpacePtr colour = ColourSpace::fromIcc(profile, size);
    if (!colour)
        return nullptr;
    switch (colour->model()) {
    case ColourSpace::Model::Rgb:
        return photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_PALETTE || photometric == PHOTOMETRIC_YCBCR
                   ? colour
                   : nullptr;
    case ColourSpace::Model::Grey: return photometric == PHOTOMETRIC_MINISBLACK ? colour : nullptr;
    case ColourSpace::Model::Cmyk: return photometric == PHOTOMETRIC_SEPARATED ? colour : nullptr;
    }
    return nullptr;
}

} // namespace

void quietTiff()
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
}

int readTiffSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    TiffFile file(source);
    if (file.status() != kOk)
        return file.status();
    TIFF *tif = file.get();
    const uint32_t width = file.width(), height = file.height();
    if (const int rc = checkPictureSize(width, height); rc != kOk)
        return rc;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    if (orientation < ORIENTATION_TOPLEFT || orientation > ORIENTATION_LEFTBOT)
        orientation = ORIENTATION_TOPLEFT;
    const Placer placer(orientation, width, height);
    Layout layout;
    const bool direct = directLayout(tif, layout);
    ColourSpacePtr colour = colourOf(tif);
    // Inks are given their colours as each row comes: the picture is sRGB.
    if (colour && colour->model() == ColourSpace::Model::Cmyk) {
        if (direct && layout.colours == 4)
            layout.inkProfile = conversionFor(colour.get(), ColourTarget::Srgb, ColourConversion::Layout::Cmyk);
        colour.reset();
    }
    // Only a picture whose stored rows run from the top, read row by row,
    // streams its rows.
    RowFeed feed;
    int rc = placer.turned() ? Image::create(int(height), int(width), 24, image)
                             : feed.begin(options, int(width), int(height), 24, image,
                                          placer.inOrder() && !(direct && TIFFIsTiled(tif)));
    if (rc != kOk)
        return rc;
    Image &out = placer.turned() ? image : feed.image();
    ProgressReporter progress(options.progress);
    rc = direct ? decodeDirect(tif, source, layout, width, height, placer, out, feed, progress, file.failure())
                : decodeRgba(tif, width, height, orientation, placer, out, feed, progress, file.failure());
    if (rc != kOk) {
        image.clear();
        return rc == kDamaged || rc == kTruncated ? file.failure() : rc;
    }
    rc = feed.finish(image, palette, Palette(), options);
    if (succeeded(rc))
        image.setColour(std::move(colour));
    return rc;
}

int readTiff(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    ByteSource source(data, size);
    return readTiffSource(source, options, image, palette);
}

int infoTiff(const uint8_t *data, size_t size, FileInfo &info)
{
    ByteSource source(data, size);
    return infoTiffSource(source, info);
}

int infoTiffSource(ByteSource &source, FileInfo &info)
{
    TiffFile file(source);
    if (file.status() != kOk)
        return file.status();
    TIFF *tif = file.get();
    uint32_t width = file.width(), height = file.height();
    uint16_t bps = 1, spp = 1, photometric = 0, compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    // The size as shown: a picture noted as turned a quarter is shown turned.
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    if (orientation >= ORIENTATION_LEFTTOP && orientation <= ORIENTATION_LEFTBOT)
        std::swap(width, height);
    info.type = "TIF";
    info.width = int(std::min<uint32_t>(width, 32767));
    info.height = int(std::min<uint32_t>(height, 32767));
    info.bitsPerPixel = int(bps) * int(spp);
    info.paletteColours = (photometric == PHOTOMETRIC_PALETTE && bps <= 16) ? (1 << bps) : 0;
    info.pictures = int(std::min<tdir_t>(TIFFNumberOfDirectories(tif), 32767));
    const char *name = "compressed";
    switch (compression) {
    case COMPRESSION_NONE: name = "uncompressed"; break;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4: name = "CCITT"; break;
    case COMPRESSION_LZW: name = "LZW"; break;
    case COMPRESSION_OJPEG:
    case COMPRESSION_JPEG: name = "JPEG"; break;
    case COMPRESSION_PACKBITS: name = "PackBits"; break;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE: name = "Deflate"; break;
    default: break;
    }
    info.format = std::string("TIFF ") + name + (TIFFIsTiled(tif) ? " tiled" : "");
    return kOk;
}

} // namespace brisvale::codec
