#include "imaging/codec/Png.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/ColourSpace.h"
#include "imaging/codec/PngColumns.h"
#include "imaging/codec/Status.h"

#include <csetjmp>

#include <png.h>

namespace brisvale::codec {

namespace {

struct SourceReader {
    ByteSource *source;
    uint64_t pos;
    bool truncated;
};

void readFromSource(png_structp png, png_bytep out, size_t length)
{
    auto *r = static_cast<SourceReader *>(png_get_io_ptr(png));
    if (r->source->read(r->pos, out, length) != length) {
        r->truncated = true;
        png_error(png, "truncated");
    }
    r->pos += length;
}

void onWarning(png_structp, png_const_charp) {}

[[noreturn]] void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

struct Reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    SourceReader source{};
    explicit Reader(ByteSource &bytes)
    {
        source = SourceReader{&bytes, 0, false};
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
        if (!png)
            return;
        info = png_create_info_struct(png);
        png_set_read_fn(png, &source, readFromSource);
        // The pixel limit decides, not libpng's own limit of a million per side.
        png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
        png_set_chunk_malloc_max(png, 8u << 20);
        // Text and the like play no part in the picture; skipped unread, a
        // chunk that claims a gigabyte costs nothing. A profile is read
        // within the chunk limit above.
        static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0sPLT\0eXIf\0";
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped, int(sizeof kSkipped / 5));
#ifdef BRISVALE_FUZZING
        // Checksums would stop the fuzzer at the first chunk it changes.
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    }
    ~Reader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    bool ok() const { return png && info; }
    int failure() const { return source.truncated ? kTruncated : kDamaged; }
};

// The guards hold no C++ objects: libpng leaves them by longjmp on error.
bool guardedReadInfo(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    return true;
}

bool guardedUpdateInfo(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_update_info(png, info);
    return true;
}

bool guardedReadRow(png_structp png, png_bytep row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_row(png, row, nullptr);
    return true;
}

// sRGB says nothing to do; else the profile, else the chromaticities with
// their gamma (sRGB's primaries where only a gamma is given).
ColourSpacePtr colourOf(png_structp png, png_infop info)
{
    if (png_get_valid(png, info, PNG_INFO_sRGB))
        return nullptr;
    png_charp name = nullptr;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    int compression = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &length) && profile)
        return ColourSpace::fromIcc(profile, length);
    double gamma = 0;
    if (!png_get_gAMA(png, info, &gamma))
        return nullptr;
    double xy[8] = {0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06};
    if (png_get_valid(png, info, PNG_INFO_cHRM))
        png_get_cHRM(png, info, &xy[0], &xy[1], &xy[2], &xy[3], &xy[4], &xy[5], &xy[6], &xy[7]);
    return ColourSpace::fromChromaticities(xy, gamma);
}

enum class Mode { Indexed, Colour, ColourAlpha };

// The last step of libpng's own row work: blue, green, red and alpha laid on
// white in place, so the rows come out at three bytes a pixel and an
// interlaced picture's passes go straight into the picture.
void layOnWhite(png_structp, png_row_infop info, png_bytep row)
{
    if (info->channels != 4 || info->bit_depth != 8)
        return;
    const png_uint_32 width = info->width;
    for (png_uint_32 x = 0; x < width; ++x) {
        const uint8_t *src = row + 4 * size_t(x);
        const uint8_t a = src[3];
        uint8_t *dst = row + 3 * size_t(x);
        const uint8_t b = pngOverWhite(src[0], a), g = pngOverWhite(src[1], a), r = pngOverWhite(src[2], a);
        dst[0] = b;
        dst[1] = g;
        dst[2] = r;
    }
    info->channels = 3;
    info->color_type = PNG_COLOR_TYPE_RGB;
    info->pixel_depth = 24;
    info->rowbytes = size_t(width) * 3;
}

} // namespace

int readPngSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette, PngRows rows)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    const uint8_t *signature = source.at(0, 8);
    if (!signature || png_sig_cmp(signature, 0, 8) != 0)
        return kNotPng;
    Reader r(source);
    if (!r.ok())
        return kOutOfMemory;
    if (!guardedReadInfo(r.png, r.info))
        return r.failure();
    const png_uint_32 width = png_get_image_width(r.png, r.info);
    const png_uint_32 height = png_get_image_height(r.png, r.info);
    if (const int rc = checkPictureSize(width, height); rc != kOk)
        return rc;
    const int colourType = png_get_color_type(r.png, r.info);
    const int bitDepth = png_get_bit_depth(r.png, r.info);
    const bool hasTrns = png_get_valid(r.png, r.info, PNG_INFO_tRNS) != 0;
    ColourSpacePtr colour = colourOf(r.png, r.info);
    // Inks, or grey for a colour picture, say nothing (a grey picture's
    // gamma alone is a colour space of three equal channels).
    const bool greyPicture = (colourType & PNG_COLOR_MASK_COLOR) == 0;
    if (colour
        && (colour->model() == ColourSpace::Model::Cmyk
            || (colour->model() == ColourSpace::Model::Grey && !greyPicture)))
        colour.reset();
    const auto tagged = [&](int rc) {
        if (succeeded(rc))
            image.setColour(colour);
        return rc;
    };

    Mode mode;
    Palette filePalette;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        mode = Mode::Indexed;
        png_colorp entries = nullptr;
        int count = 0;
        png_get_PLTE(r.png, r.info, &entries, &count);
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (hasTrns)
            png_get_tRNS(r.png, r.info, &alpha, &alphaCount, nullptr);
        for (int i = 0; i < count; ++i) {
            const uint8_t a = (alpha && i < alphaCount) ? alpha[i] : 255;
            filePalette.push_back(Rgb{pngOverWhite(entries[i].red, a), pngOverWhite(entries[i].green, a),
                                      pngOverWhite(entries[i].blue, a)});
        }
        png_set_packing(r.png);
    } else if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth <= 8 && !hasTrns) {
        mode = Mode::Indexed;
        const int levels = 1 << bitDepth;
        for (int i = 0; i < levels; ++i) {
            const uint8_t v = uint8_t(i * 255 / (levels - 1));
            filePalette.push_back(Rgb{v, v, v});
        }
        png_set_packing(r.png);
    } else {
        const bool alpha = hasTrns || (colourType & PNG_COLOR_MASK_ALPHA);
        mode = alpha ? Mode::ColourAlpha : Mode::Colour;
        png_set_expand(r.png);
        png_set_scale_16(r.png);
        png_set_gray_to_rgb(r.png);
        if (alpha) {
            png_set_read_user_transform_fn(r.png, layOnWhite);
            png_set_user_transform_info(r.png, nullptr, 8, 3);
        }
    }
    PngLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitDepth = bitDepth;
    layout.colourType = colourType;
    layout.interlaced = png_get_interlace_type(r.png, r.info) != PNG_INTERLACE_NONE;
    layout.indexed = mode == Mode::Indexed;
    layout.hasTrns = hasTrns && colourType != PNG_COLOR_TYPE_PALETTE;
    if (layout.hasTrns) {
        png_color_16p trans = nullptr;
        png_get_tRNS(r.png, r.info, nullptr, nullptr, &trans);
        if (trans) {
            layout.transGrey = trans->gray;
            layout.transRed = trans->red;
            layout.transGreen = trans->green;
            layout.transBlue = trans->blue;
        }
    }
    // libpng keeps two rows of up to 8 bytes a pixel (the file's own row and
    // the one before it, which its filters refer to); where those would cost
    // more than the picture may, the data is decoded in columns instead.
    if (rows == PngRows::Columns || checkWorkBytes(width, 16) != kOk || pngRowsTooLongForLibpng(layout)) {
        ProgressReporter progress(options.progress);
        // Rows that only go on to be shrunk go to the shrink in pieces, and
        // no picture is made.
        const bool acrossToSink = !layout.interlaced && options.sink && options.depth == 24
                                  && options.sink->takesPieces();
        if (acrossToSink && options.sink->wants(int(width), int(height))) {
            options.sink->rowByRow();
            const int rc = readPngColumns(source, r.source.pos, layout, {nullptr, options.sink, &filePalette},
                                          progress);
            palette.clear();
            return tagged(rc);
        }
        ReadOptions whole = options;
        if (acrossToSink)
            whole.sink = nullptr; // asked already, and it wants the picture
        RowFeed feed;
        if (const int rc = feed.begin(whole, int(width), int(height), layout.indexed ? 8 : 24, image, false); rc != kOk)
            return rc;
        if (const int rc = readPngColumns(source, r.source.pos, layout, {&feed.image(), nullptr, nullptr}, progress);
            rc != kOk) {
            image.clear();
            return rc;
        }
        return tagged(feed.finish(image, palette, std::move(filePalette), whole));
    }

    const int passes = png_set_interlace_handling(r.png);
    // An interlaced picture is complete only after its last pass.
    RowFeed feed;
    int rc = feed.begin(options, int(width), int(height), mode == Mode::Indexed ? 8 : 24, image, passes == 1);
    if (rc != kOk)
        return rc;
    // libpng lays colours red first; a sink may take them so.
    if (mode != Mode::Indexed && !feed.redFirst())
        png_set_bgr(r.png);
    if (!guardedUpdateInfo(r.png, r.info)) {
        image.clear();
        return r.failure();
    }
    const size_t rowBytes = png_get_rowbytes(r.png, r.info);
    const size_t expected = size_t(width) * (mode == Mode::Indexed ? 1 : 3);
    if (rowBytes != expected) {
        image.clear();
        return kUnsupported;
    }
    Image &out = feed.image();
    ProgressReporter progress(options.progress);
    const uint64_t total = uint64_t(passes) * height;
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            if (!guardedReadRow(r.png, out.row(feed.line(int(y))))) {
                image.clear();
                return r.failure();
            }
            if (passes == 1)
                feed.done(filePalette);
            if (!progress.report(uint64_t(pass) * height + y + 1, total)) {
                image.clear();
                return kStopped;
            }
        }
    }
    return tagged(feed.finish(image, palette, std::move(filePalette), options));
}

int readPngSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette)
{
    return readPngSource(source, options, image, palette, PngRows::Auto);
}

int readPng(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    ByteSource source(data, size);
    return readPngSource(source, options, image, palette);
}

int infoPng(const uint8_t *data, size_t size, FileInfo &info)
{
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0)
        return kNotPng;
    ByteSource source(data, size);
    Reader r(source);
    if (!r.ok())
        return kOutOfMemory;
    if (!guardedReadInfo(r.png, r.info))
        return r.failure();
    const int colourType = png_get_color_type(r.png, r.info);
    info.type = "PNG";
    info.width = int(png_get_image_width(r.png, r.info));
    info.height = int(png_get_image_height(r.png, r.info));
    info.bitsPerPixel = png_get_bit_depth(r.png, r.info) * png_get_channels(r.png, r.info);
    info.paletteColours = 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp entries = nullptr;
        png_get_PLTE(r.png, r.info, &entries, &info.paletteColours);
    }
    info.pictures = 1;
    switch (colourType) {
    case PNG_COLOR_TYPE_PALETTE: info.format = "PNG palette"; break;
    case PNG_COLOR_TYPE_GRAY: info.format = "PNG grey"; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: info.format = "PNG grey+alpha"; break;
    case PNG_COLOR_TYPE_RGB: info.format = "PNG RGB"; break;
    default: info.format = "PNG RGBA"; break;
    }
    if (png_get_interlace_type(r.png, r.info) != PNG_INTERLACE_NONE)
        info.format += " interlaced";
    return kOk;
}

} // namespace brisvale::codec
