#include "imaging/codec/Bmp.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/ColourSpace.h"
#include "imaging/codec/FileIO.h"
#include "imaging/codec/Status.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

namespace brisvale::codec {

namespace {

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

struct Header {
    uint32_t headerSize = 0;
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    uint32_t compression = kRgb;
    uint32_t coloursUsed = 0;
    uint32_t masks[3] = {0, 0, 0};
    uint32_t alphaMask = 0; // only from bit fields that name one
    size_t paletteOffset = 0;
    size_t paletteEntries = 0;
    size_t entrySize = 4;
    size_t pixelOffset = 0;
};

bool knownHeaderSize(uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

int parseHeader(const uint8_t *d, size_t size, Header &h)
{
    if (size < 2 || d[0] != 'B' || d[1] != 'M')
        return kNotBmp;
    if (size < 18)
        return kTruncated;
    h.headerSize = le32(d + 14);
    if (!knownHeaderSize(h.headerSize))
        return h.headerSize < 12 ? kDamaged : kUnsupported;
    if (size < 14 + uint64_t(h.headerSize))
        return kTruncated;
    int64_t height = 0;
    if (h.headerSize == 12) {
        h.width = le16(d + 18);
        height = le16(d + 20);
        h.bits = le16(d + 24);
        h.entrySize = 3;
    } else {
        const int32_t w = int32_t(le32(d + 18));
        height = int32_t(le32(d + 22));
        h.bits = le16(d + 28);
        h.compression = le32(d + 30);
        h.coloursUsed = le32(d + 46);
        if (w <= 0)
            return kDamaged;
        h.width = w;
    }
    if (height == 0 || height == INT32_MIN || h.width == 0)
        return kDamaged;
    h.topDown = height < 0;
    h.height = int(height < 0 ? -height : height);

    switch (h.bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return kUnsupported;
    }
    const bool os2v2 = h.headerSize == 64;
    switch (h.compression) {
    case kRgb: break;
    case kRle8:
        if (h.bits != 8)
            return kDamaged;
        break;
    case kRle4:
        if (h.bits != 4)
            return kDamaged;
        break;
    case kBitFields:
    case kAlphaBitFields:
        if (os2v2)
            return kUnsupported;
        if (h.bits != 16 && h.bits != 32)
            return kDamaged;
        break;
    default: return kUnsupported;
    }

    size_t end = 14 + h.headerSize;
    if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
        const uint8_t *m = d + 14 + 40;
        if (h.headerSize == 40) {
            const size_t maskBytes = h.compression == kAlphaBitFields ? 16 : 12;
            if (size < end + maskBytes)
                return kTruncated;
            end += maskBytes;
        }
        for (size_t i = 0; i < 3; ++i)
            h.masks[i] = le32(m + 4 * i);
        // The alpha mask follows the colour masks in headers of 56 bytes and
        // more, and in the 40-byte header's masks when the kind says so.
        if (h.headerSize >= 56 || h.compression == kAlphaBitFields)
            h.alphaMask = le32(m + 12);
    } else if (h.bits == 16) {
        h.masks[0] = 0x7c00;
        h.masks[1] = 0x03e0;
        h.masks[2] = 0x001f;
    } else if (h.bits == 32) {
        h.masks[0] = 0xff0000;
        h.masks[1] = 0x00ff00;
        h.masks[2] = 0x0000ff;
    }

    h.paletteOffset = end;
    if (h.bits <= 8) {
        const size_t full = size_t(1) << h.bits;
        h.paletteEntries = (h.coloursUsed == 0 || h.coloursUsed > full) ? full : h.coloursUsed;
    }
    const size_t paletteEnd = end + h.paletteEntries * h.entrySize;
    const uint32_t offBits = le32(d + 10);
    // Some writers leave the data offset at zero or point it into the header;
    // the data then follows the colour table.
    h.pixelOffset = (offBits < end) ? paletteEnd : offBits;
    if (h.pixelOffset > size)
        return kTruncated;
    // A colour table cut short by the data offset keeps the entries before it.
    const size_t paletteRoom = (h.pixelOffset >= end ? h.pixelOffset : size) - end;
    if (h.paletteEntries * h.entrySize > paletteRoom) {
        if (paletteEnd > size)
            return kTruncated;
        h.paletteEntries = paletteRoom / h.entrySize;
    }
    return kOk;
}

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
};

Channel channelOf(uint32_t mask)
{
    Channel c;
    c.mask = mask;
    if (!mask)
        return c;
    c.shift = std::countr_zero(mask);
    c.max = mask >> c.shift;
    return c;
}

inline uint8_t scale(uint32_t pixel, const Channel &c)
{
    if (!c.max)
        return 0;
    const uint32_t v = (pixel & c.mask) >> c.shift;
    return uint8_t((uint64_t(v) * 255 + c.max / 2) / c.max);
}

inline uint8_t overWhite(uint8_t c, uint8_t a) { return uint8_t((c * a + 255 * (255 - a) + 127) / 255); }

// Pixels of a stored row are taken this many at a time, so a very wide row
// never needs a buffer of its own.
constexpr int kPiece = 1 << 16;

// Many writers leave the alpha bits of every pixel at zero; such a picture is
// meant opaque, not invisible.
bool anyAlpha(ByteSource &source, const Header &h, size_t srcStride, const Channel &alpha)
{
    const size_t bytes = size_t(h.bits / 8);
    for (int y = 0; y < h.height; ++y) {
        const uint64_t rowAt = h.pixelOffset + uint64_t(srcStride) * uint64_t(y);
        for (int x0 = 0; x0 < h.width; x0 += kPiece) {
            const int n = std::min(kPiece, h.width - x0);
            const uint8_t *src = source.at(rowAt + uint64_t(x0) * bytes, size_t(n) * bytes);
            if (!src)
                return false;
            for (int x = 0; x < n; ++x) {
                const uint32_t p = h.bits == 16 ? le16(src + 2 * size_t(x)) : le32(src + 4 * size_t(x));
                if (p & alpha.mask)
                    return true;
            }
        }
    }
    return false;
}

int decodeUncompressed(ByteSource &source, const Header &h, RowFeed &feed, const Palette &filePalette,
                       ProgressReporter &progress)
{
    const size_t srcStride = Image::strideFor(uint32_t(h.width), h.bits);
    if (srcStride == 0 || uint64_t(srcStride) * uint64_t(h.height) > source.left(h.pixelOffset))
        return kTruncated;
    const Channel ch[3] = {channelOf(h.masks[0]), channelOf(h.masks[1]), channelOf(h.masks[2])};
    // Transparent parts are laid on white, as in the other formats.
    Channel alpha = channelOf(h.alphaMask);
    if (alpha.mask && (h.bits <= 8 || h.bits == 24 || !anyAlpha(source, h, srcStride, alpha)))
        alpha = Channel();
    // The file is read where each row lies, so the rows come from the top
    // down whichever way the file stores them.
    const size_t bytes = size_t(h.bits / 8);
    for (int y = 0; y < h.height; ++y) {
        const uint64_t rowAt = h.pixelOffset + uint64_t(srcStride) * uint64_t(h.topDown ? y : h.height - 1 - y);
        uint8_t *dst = feed.image().row(feed.line(y));
        if (h.bits <= 8 || h.bits == 24) {
            // Stored rows are padded exactly as the picture's own.
            if (source.read(rowAt, dst, srcStride) != srcStride)
                return kTruncated;
        } else {
            for (int x0 = 0; x0 < h.width; x0 += kPiece) {
                const int n = std::min(kPiece, h.width - x0);
                const uint8_t *src = source.at(rowAt + uint64_t(x0) * bytes, size_t(n) * bytes);
                if (!src)
                    return kTruncated;
                uint8_t *out = dst + size_t(x0) * 3;
                for (int x = 0; x < n; ++x, out += 3) {
                    const uint32_t p = h.bits == 16 ? le16(src + 2 * size_t(x)) : le32(src + 4 * size_t(x));
                    out[0] = scale(p, ch[2]);
                    out[1] = scale(p, ch[1]);
                    out[2] = scale(p, ch[0]);
                    if (alpha.mask) {
                        const uint8_t a = scale(p, alpha);
                        for (int k = 0; k < 3; ++k)
                            out[k] = overWhite(out[k], a);
                    }
                }
            }
        }
        feed.done(filePalette);
        if (!progress.report(uint64_t(y) + 1, uint64_t(h.height)))
            return kStopped;
    }
    return kOk;
}

int decodeRle(ByteSource &source, const Header &h, Image &image, ProgressReporter &progress)
{
    const bool four = h.compression == kRle4;
    ByteCursor in(source, h.pixelOffset);
    int64_t x = 0, y = 0;
    auto put = [&](int64_t px, int value) {
        if (px >= 0 && px < h.width && y >= 0 && y < h.height)
            image.setIndex(int(px), int(h.topDown ? y : h.height - 1 - y), value);
    };
    while (y < h.height) {
        const int countByte = in.next();
        const int valueByte = in.next();
        if (valueByte < 0)
            return y >= h.height - 1 ? kOk : kTruncated;
        const uint8_t count = uint8_t(countByte), value = uint8_t(valueByte);
        if (count > 0) {
            for (int i = 0; i < count; ++i, ++x)
                put(x, four ? ((i & 1) ? (value & 0x0f) : (value >> 4)) : value);
            continue;
        }
        switch (value) {
        case 0:
            x = 0;
            ++y;
            if (!progress.report(uint64_t(y), uint64_t(h.height)))
                return kStopped;
            break;
        case 1: return kOk;
        case 2: {
            const int dx = in.next();
            const int dy = in.next();
            if (dy < 0)
                return kTruncated;
            x += dx;
            y += dy;
            break;
        }
        default: {
            const size_t bytes = four ? (size_t(value) + 1) / 2 : value;
            const size_t padded = (bytes + 1) & ~size_t(1);
            const uint8_t *run = source.at(in.position(), bytes);
            if (!run)
                return kTruncated;
            for (int i = 0; i < value; ++i, ++x) {
                const uint8_t b = run[four ? size_t(i) / 2 : size_t(i)];
                put(x, four ? ((i & 1) ? (b & 0x0f) : (b >> 4)) : b);
            }
            in.skip(std::min<uint64_t>(padded, source.left(in.position())));
            break;
        }
        }
    }
    return kOk;
}

} // namespace

int readBmpSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    // Header, masks and colour table all lie within the first kilobytes.
    const uint64_t size = source.size();
    const uint8_t *data = source.at(0, size_t(std::min<uint64_t>(size, 2048)));
    if (!data)
        return kTruncated;
    Header h;
    int rc = parseHeader(data, size_t(std::min<uint64_t>(size, SIZE_MAX)), h);
    if (rc != kOk)
        return rc;
    if (rc = checkPictureSize(uint64_t(h.width), uint64_t(h.height)); rc != kOk)
        return rc;
    Palette filePalette;
    for (size_t i = 0; i < h.paletteEntries; ++i) {
        const uint8_t *e = data + h.paletteOffset + i * h.entrySize;
        filePalette.push_back(Rgb{e[2], e[1], e[0]});
    }
    // A version 5 header may embed a profile ("MBED"), placed from the
    // header's own start; a linked one names a file and is never opened.
    uint64_t profileAt = 0, profileSize = 0;
    if (h.headerSize == 124 && le32(data + 14 + 56) == 0x4D424544u) {
        profileAt = 14 + uint64_t(le32(data + 14 + 112));
        profileSize = le32(data + 14 + 116);
    }
    // Version 4 and 5 headers may instead give the primaries and gammas
    // themselves ("calibrated RGB", kind 0), as fixed-point numbers.
    ColourSpacePtr calibrated;
    if ((h.headerSize == 108 || h.headerSize == 124) && le32(data + 14 + 56) == 0) {
        double endpoints[9], gamma[3];
        for (size_t i = 0; i < 9; ++i)
            endpoints[i] = double(int32_t(le32(data + 14 + 60 + 4 * i))) / double(1 << 30);
        for (size_t i = 0; i < 3; ++i)
            gamma[i] = double(le32(data + 14 + 96 + 4 * i)) / 65536.0;
        calibrated = ColourSpace::fromEndpoints(endpoints, gamma);
    }
    // Plain pixel data must all be there before anything is allocated for it.
    if (h.compression != kRle8 && h.compression != kRle4) {
        const size_t srcStride = Image::strideFor(uint32_t(h.width), h.bits);
        if (srcStride == 0 || uint64_t(srcStride) * uint64_t(h.height) > size - h.pixelOffset)
            return kTruncated;
    }
    data = nullptr; // the window moves from here on
    const int bits = (h.bits <= 8) ? h.bits : 24;
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    RowFeed feed;
    rc = feed.begin(options, h.width, h.height, bits, image, !rle); // runs may jump about the picture
    if (rc != kOk)
        return rc;
    ProgressReporter progress(options.progress);
    rc = rle ? decodeRle(source, h, feed.image(), progress)
             : decodeUncompressed(source, h, feed, filePalette, progress);
    if (rc != kOk) {
        image.clear();
        return rc;
    }
    rc = feed.finish(image, palette, std::move(filePalette), options);
    if (succeeded(rc) && calibrated && calibrated->model() == ColourSpace::Model::Rgb)
        image.setColour(std::move(calibrated));
    if (succeeded(rc) && profileSize > 0 && profileAt < size && profileSize <= size - profileAt)
        if (const uint8_t *profile = source.at(profileAt, size_t(profileSize)))
            if (ColourSpacePtr colour = ColourSpace::fromIcc(profile, size_t(profileSize));
                colour && colour->model() == ColourSpace::Model::Rgb)
                image.setColour(std::move(colour));
    return rc;
}

int readBmp(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    ByteSource source(data, size);
    return readBmpSource(source, options, image, palette);
}

int infoBmp(const uint8_t *data, size_t size, FileInfo &info)
{
    Header h;
    const int rc = parseHeader(data, size, h);
    if (rc != kOk)
        return rc;
    info.type = "BMP";
    info.width = h.width;
    info.height = h.height;
    info.bitsPerPixel = h.bits;
    info.paletteColours = int(h.paletteEntries);
    info.pictures = 1;
    info.format = (h.headerSize == 12 || h.headerSize == 64) ? "OS/2 bitmap" : "Windows bitmap";
    if (h.compression == kRle8)
        info.format += " RLE8";
    else if (h.compression == kRle4)
        info.format += " RLE4";
    else if (h.compression != kRgb)
        info.format += " bit fields";
    return kOk;
}

int writeBmp(OutputFile &file, int depth, const Image &image, const Palette &palette, const Progress *progress)
{
    if (image.empty())
        return kNoPicture;
    if (!isDepthCode(depth))
        return kBadDepth;
    const int bits = depth == 0 ? 4 : depth;
    WriteSource source;
    if (const int rc = prepareWrite(image, palette, depth, source); rc != kOk)
        return rc;
    const Image *out = source.image;
    const Palette *outPalette = source.palette;
    const size_t colours = bits == 24 ? 0 : std::min(outPalette->size(), size_t(1) << bits);
    const uint64_t offset = 14 + 40 + 4 * uint64_t(colours);
    const uint64_t fileSize = offset + uint64_t(out->stride()) * uint64_t(out->height());
    if (fileSize > UINT32_MAX)
        return kTooLarge;

    uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    putLe32(header + 2, uint32_t(fileSize));
    putLe32(header + 10, uint32_t(offset));
    putLe32(header + 14, 40);
    putLe32(header + 18, uint32_t(out->width()));
    putLe32(header + 22, uint32_t(out->height()));
    putLe16(header + 26, 1);
    putLe16(header + 28, uint32_t(bits));
    putLe32(header + 34, uint32_t(out->stride() * size_t(out->height())));
    putLe32(header + 38, 2835);
    putLe32(header + 42, 2835);
    putLe32(header + 46, uint32_t(colours));

    if (!file.isOpen())
        return kCannotWrite;
    file.write(header, sizeof header);
    for (size_t i = 0; i < colours; ++i) {
        const Rgb &c = (*outPalette)[i];
        const uint8_t e[4] = {c.b, c.g, c.r, 0};
        file.write(e, 4);
    }
    ProgressReporter reporter(progress);
    for (int y = out->height() - 1; y >= 0; --y) {
        if (!file.write(out->row(y), out->stride()))
            return kCannotWrite;
        if (!reporter.report(uint64_t(out->height() - y), uint64_t(out->height())))
            return kStopped;
    }
    return file.commit() ? kOk : kCannotWrite;
}

} // namespace brisvale::codec
