#include "imaging/codec/Png.h"

#include "imaging/codec/Status.h"

#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

namespace brisvale::codec {

namespace {

struct MemoryReader {
    const uint8_t *data;
    size_t size;
    size_t pos;
    bool truncated;
};

void readFromMemory(png_structp png, png_bytep out, size_t length)
{
    auto *r = static_cast<MemoryReader *>(png_get_io_ptr(png));
    if (r->size - r->pos < length) {
        r->truncated = true;
        png_error(png, "truncated");
    }
    std::memcpy(out, r->data + r->pos, length);
    r->pos += length;
}

void onWarning(png_structp, png_const_charp) {}

[[noreturn]] void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

struct Reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    MemoryReader source{};
    Reader(const uint8_t *data, size_t size)
    {
        source = MemoryReader{data, size, 0, false};
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
        if (!png)
            return;
        info = png_create_info_struct(png);
        png_set_read_fn(png, &source, readFromMemory);
        // The pixel limit decides, not libpng's own limit of a million per side.
        png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
        png_set_chunk_malloc_max(png, 8u << 20);
        // Text, profiles and the like play no part in the picture; skipped
        // unread, a chunk that claims a gigabyte costs nothing.
        static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0";
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

enum class Mode { Indexed, Colour, ColourAlpha };

inline uint8_t overWhite(uint8_t c, uint8_t a) { return uint8_t((c * a + 255 * (255 - a) + 127) / 255); }

} // namespace

int readPng(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0)
        return kNotPng;
    Reader r(data, size);
    if (!r.ok())
        return kOutOfMemory;
    if (!guardedReadInfo(r.png, r.info))
        return r.failure();
    const png_uint_32 width = png_get_image_width(r.png, r.info);
    const png_uint_32 height = png_get_image_height(r.png, r.info);
    if (const int rc = checkPictureSize(width, height); rc != kOk)
        return rc;
    // libpng keeps two rows of up to 8 bytes a pixel whatever the kind; a row
    // that long must not alone outweigh the largest picture.
    if (checkWorkBytes(width, 16) != kOk)
        return kTooLarge;
    const int colourType = png_get_color_type(r.png, r.info);
    const int bitDepth = png_get_bit_depth(r.png, r.info);
    const bool hasTrns = png_get_valid(r.png, r.info, PNG_INFO_tRNS) != 0;

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
            filePalette.push_back(
                Rgb{overWhite(entries[i].red, a), overWhite(entries[i].green, a), overWhite(entries[i].blue, a)});
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
        png_set_bgr(r.png);
    }
    const int passes = png_set_interlace_handling(r.png);
    if (!guardedUpdateInfo(r.png, r.info))
        return r.failure();
    const size_t rowBytes = png_get_rowbytes(r.png, r.info);
    const size_t expected = size_t(width) * (mode == Mode::Indexed ? 1 : mode == Mode::Colour ? 3 : 4);
    if (rowBytes != expected)
        return kUnsupported;

    // An interlaced picture is complete only after its last pass.
    RowFeed feed;
    int rc = feed.begin(options, int(width), int(height), mode == Mode::Indexed ? 8 : 24, image, passes == 1);
    if (rc != kOk)
        return rc;
    Image &out = feed.image();
    // Interlaced pictures with transparency keep all four channels until the
    // last pass; every other kind is decoded straight into its rows.
    std::vector<uint8_t> alphaRow;
    const bool wholeAlpha = mode == Mode::ColourAlpha && passes > 1;
    if (wholeAlpha && checkWorkBytes(uint64_t(width) * height, 4) != kOk) {
        image.clear();
        return kTooLarge;
    }
    if (mode == Mode::ColourAlpha && !wholeAlpha)
        alphaRow.resize(expected);
    std::vector<uint8_t> full(wholeAlpha ? size_t(width) * height * 4 : 0);
    ProgressReporter progress(options.progress);
    const uint64_t total = uint64_t(passes) * height;
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_bytep target = mode != Mode::ColourAlpha ? out.row(feed.line(int(y)))
                               : wholeAlpha              ? full.data() + size_t(y) * expected
                                                         : alphaRow.data();
            if (!guardedReadRow(r.png, target)) {
                image.clear();
                return r.failure();
            }
            if (mode == Mode::ColourAlpha && !wholeAlpha) {
                uint8_t *dst = out.row(feed.line(int(y)));
                for (png_uint_32 x = 0; x < width; ++x)
                    for (int k = 0; k < 3; ++k)
                        dst[3 * x + k] = overWhite(target[4 * x + k], target[4 * x + 3]);
            }
            if (passes == 1)
                feed.done(filePalette);
            if (!progress.report(uint64_t(pass) * height + y + 1, total)) {
                image.clear();
                return kStopped;
            }
        }
    }
    if (wholeAlpha) {
        for (png_uint_32 y = 0; y < height; ++y) {
            const uint8_t *src = full.data() + size_t(y) * expected;
            uint8_t *dst = image.row(int(y));
            for (png_uint_32 x = 0; x < width; ++x)
                for (int k = 0; k < 3; ++k)
                    dst[3 * x + k] = overWhite(src[4 * x + k], src[4 * x + 3]);
        }
    }
    return feed.finish(image, palette, std::move(filePalette), options);
}

int infoPng(const uint8_t *data, size_t size, FileInfo &info)
{
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0)
        return kNotPng;
    Reader r(data, size);
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
