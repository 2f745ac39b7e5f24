#include "imaging/codec/Tiff.h"

#include "imaging/codec/Status.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <tiffio.h>

namespace brisvale::codec {

namespace {

struct MemorySource {
    const uint8_t *data;
    size_t size;
    uint64_t pos;
    bool truncated;
};

tmsize_t readProc(thandle_t h, void *buf, tmsize_t n)
{
    auto *s = static_cast<MemorySource *>(h);
    if (n <= 0 || s->pos >= s->size) {
        if (n > 0)
            s->truncated = true;
        return 0;
    }
    const uint64_t left = s->size - s->pos;
    const uint64_t take = std::min<uint64_t>(uint64_t(n), left);
    if (take < uint64_t(n))
        s->truncated = true;
    std::memcpy(buf, s->data + s->pos, size_t(take));
    s->pos += take;
    return tmsize_t(take);
}

tmsize_t writeProc(thandle_t, void *, tmsize_t) { return 0; }

toff_t seekProc(thandle_t h, toff_t off, int whence)
{
    auto *s = static_cast<MemorySource *>(h);
    uint64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? s->pos : s->size;
    if (off > UINT64_MAX - base)
        return toff_t(-1);
    s->pos = base + off;
    return s->pos;
}

int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t h) { return static_cast<MemorySource *>(h)->size; }
int mapProc(thandle_t, void **, toff_t *) { return 0; }
void unmapProc(thandle_t, void *, toff_t) {}

int silentHandler(TIFF *, void *, const char *, const char *, va_list) { return 1; }

class TiffFile {
public:
    TiffFile(const uint8_t *data, size_t size) : source_{data, size, 0, false}
    {
        TIFFOpenOptions *opts = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetMaxSingleMemAlloc(opts, tmsize_t(std::min<uint64_t>(limits().maxPixels * 4, INT64_MAX)));
        TIFFOpenOptionsSetErrorHandlerExtR(opts, silentHandler, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(opts, silentHandler, nullptr);
        tif_ = TIFFClientOpenExt("picture", "rm", &source_, readProc, writeProc, seekProc, closeProc, sizeProc, mapProc,
                                 unmapProc, opts);
        TIFFOpenOptionsFree(opts);
    }
    ~TiffFile()
    {
        if (tif_)
            TIFFClose(tif_);
    }
    TIFF *get() const { return tif_; }
    int failure() const { return source_.truncated ? kTruncated : kDamaged; }

private:
    MemorySource source_;
    TIFF *tif_ = nullptr;
};

bool looksLikeTiff(const uint8_t *d, size_t size)
{
    return size >= 4
           && ((d[0] == 'I' && d[1] == 'I' && (d[2] == 42 || d[2] == 43) && d[3] == 0)
               || (d[0] == 'M' && d[1] == 'M' && d[2] == 0 && (d[3] == 42 || d[3] == 43)));
}

struct RgbaImage {
    TIFFRGBAImage img{};
    bool begun = false;
    ~RgbaImage()
    {
        if (begun)
            TIFFRGBAImageEnd(&img);
    }
};

} // namespace

void quietTiff()
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
}

int readTiff(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    if (size < 4 || !looksLikeTiff(data, size))
        return kNotTiff;
    TiffFile file(data, size);
    TIFF *tif = file.get();
    if (!tif)
        return file.failure();
    uint32_t width = 0, height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    if (const int rc = checkPictureSize(width, height); rc != kOk)
        return rc;
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message))
        return kUnsupported;
    RgbaImage rgba;
    if (!TIFFRGBAImageBegin(&rgba.img, tif, 1, message))
        return kUnsupported;
    rgba.begun = true;
    // libtiff can only flip; asked for the file's own orientation it hands the
    // rows over as stored, and every orientation, turns included, is applied
    // here while the rows are copied.
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    if (orientation < ORIENTATION_TOPLEFT || orientation > ORIENTATION_LEFTBOT)
        orientation = ORIENTATION_TOPLEFT;
    rgba.img.req_orientation = orientation;
    const bool turned = orientation >= ORIENTATION_LEFTTOP;
    // Along a stored row, and across the stored rows, the order is reversed:
    const bool mirrorX = orientation == ORIENTATION_TOPRIGHT || orientation == ORIENTATION_BOTRIGHT
                         || orientation == ORIENTATION_RIGHTBOT || orientation == ORIENTATION_LEFTBOT;
    const bool mirrorY = orientation == ORIENTATION_BOTRIGHT || orientation == ORIENTATION_BOTLEFT
                         || orientation == ORIENTATION_RIGHTTOP || orientation == ORIENTATION_RIGHTBOT;

    // Decode in bands no smaller than a strip or tile row, so no strip is
    // decoded twice.
    uint32_t band = 64;
    uint32_t perStrip = 0;
    if (TIFFIsTiled(tif))
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &perStrip);
    else
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &perStrip);
    band = std::max(band, std::min(perStrip, height));
    if (checkWorkBytes(uint64_t(width) * band, 4) != kOk)
        return kTooLarge;
    // Only a picture whose stored rows run from the top streams its rows.
    RowFeed feed;
    int rc = turned ? Image::create(int(height), int(width), 24, image)
                    : feed.begin(options, int(width), int(height), 24, image, !mirrorY);
    if (rc != kOk)
        return rc;
    Image &out = turned ? image : feed.image();
    std::vector<uint32_t> raster(size_t(width) * band);
    ProgressReporter progress(options.progress);
    for (uint32_t row = 0; row < height; row += band) {
        const uint32_t rows = std::min(band, height - row);
        rgba.img.row_offset = int(row);
        rgba.img.col_offset = 0;
        if (!TIFFRGBAImageGet(&rgba.img, raster.data(), width, rows)) {
            image.clear();
            return file.failure();
        }
        for (uint32_t y = 0; y < rows; ++y) {
            const uint32_t *src = raster.data() + size_t(y) * width;
            // Stored pixel (x, sy) goes to (dx, dy) of the upright picture;
            // a turned one walks down a column instead of along a row.
            const uint32_t sy = row + y;
            const uint32_t across = mirrorY ? height - 1 - sy : sy;
            uint8_t *dst = turned ? out.row(0) + 3 * size_t(across) : out.row(feed.line(int(across)));
            const ptrdiff_t step = turned ? ptrdiff_t(out.stride()) : 3;
            if (mirrorX) {
                dst += step * ptrdiff_t(width - 1);
            }
            const ptrdiff_t advance = mirrorX ? -step : step;
            for (uint32_t x = 0; x < width; ++x, dst += advance) {
                // Colours come premultiplied by their alpha; adding the
                // uncovered share of white lays them on a white ground.
                const uint32_t p = src[x];
                const int a = int(TIFFGetA(p));
                dst[0] = uint8_t(std::min(255, int(TIFFGetB(p)) + 255 - a));
                dst[1] = uint8_t(std::min(255, int(TIFFGetG(p)) + 255 - a));
                dst[2] = uint8_t(std::min(255, int(TIFFGetR(p)) + 255 - a));
            }
            feed.done(Palette());
        }
        if (!progress.report(uint64_t(row) + rows, height)) {
            image.clear();
            return kStopped;
        }
    }
    return feed.finish(image, palette, Palette(), options);
}

int infoTiff(const uint8_t *data, size_t size, FileInfo &info)
{
    if (size < 4 || !looksLikeTiff(data, size))
        return kNotTiff;
    TiffFile file(data, size);
    TIFF *tif = file.get();
    if (!tif)
        return file.failure();
    uint32_t width = 0, height = 0;
    uint16_t bps = 1, spp = 1, photometric = 0, compression = COMPRESSION_NONE;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
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
