#include "imaging/codec/Pcx.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/FileIO.h"
#include "imaging/codec/Status.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace brisvale::codec {

namespace {

constexpr size_t kHeaderSize = 128;

// The colours a 16-colour file without its own palette is shown with.
const Palette kEgaDefault = {
    {0, 0, 0},     {0, 0, 170},     {0, 170, 0},    {0, 170, 170},   {170, 0, 0},   {170, 0, 170},
    {170, 85, 0},  {170, 170, 170}, {85, 85, 85},   {85, 85, 255},   {85, 255, 85}, {85, 255, 255},
    {255, 85, 85}, {255, 85, 255},  {255, 255, 85}, {255, 255, 255},
};

struct Header {
    int version = 0;
    bool rle = true;
    int bits = 0;
    int planes = 0;
    int width = 0;
    int height = 0;
    size_t bytesPerLine = 0;
    const uint8_t *colourMap = nullptr;
};

int parseHeader(const uint8_t *d, size_t size, Header &h)
{
    if (size < 1 || d[0] != 0x0A)
        return kNotPcx;
    if (size < kHeaderSize)
        return kTruncated;
    h.version = d[1];
    if (h.version > 5 || d[2] > 1)
        return kNotPcx;
    h.rle = d[2] == 1;
    h.bits = d[3];
    h.planes = d[65];
    const int xmin = le16(d + 4), ymin = le16(d + 6), xmax = le16(d + 8), ymax = le16(d + 10);
    if (xmax < xmin || ymax < ymin)
        return kDamaged;
    h.width = xmax - xmin + 1;
    h.height = ymax - ymin + 1;
    h.bytesPerLine = le16(d + 66);
    h.colourMap = d + 16;
    const bool planar = h.bits == 1 && h.planes >= 1 && h.planes <= 4;
    const bool packed = (h.bits == 2 || h.bits == 4 || h.bits == 8) && h.planes == 1;
    const bool trueColour = h.bits == 8 && (h.planes == 3 || h.planes == 4);
    if (!planar && !packed && !trueColour)
        return kUnsupported;
    if (h.bytesPerLine == 0 || h.bytesPerLine * 8 < size_t(h.width) * size_t(h.bits))
        return kDamaged;
    return kOk;
}

int naturalBits(const Header &h)
{
    const int total = h.bits * h.planes;
    return total == 1 ? 1 : total <= 4 ? 4 : total == 8 ? 8 : 24;
}

Palette paletteOf(const Header &h, ByteSource &source)
{
    const uint64_t size = source.size();
    Palette p;
    const int total = h.bits * h.planes;
    if (total == 1) {
        // Most monochrome files leave the colour map empty; a filled one names
        // the two colours.
        const Rgb a{h.colourMap[0], h.colourMap[1], h.colourMap[2]};
        const Rgb b{h.colourMap[3], h.colourMap[4], h.colourMap[5]};
        if (h.version == 5 && !(a == b))
            return {a, b};
        return {{0, 0, 0}, {255, 255, 255}};
    }
    if (total == 8) {
        const uint8_t *e = size >= kHeaderSize + 769 ? source.at(size - 769, 769) : nullptr;
        if (e && *e++ == 0x0C) {
            for (size_t i = 0; i < 256; ++i)
                p.push_back(Rgb{e[3 * i], e[3 * i + 1], e[3 * i + 2]});
        } else {
            for (int i = 0; i < 256; ++i)
                p.push_back(Rgb{uint8_t(i), uint8_t(i), uint8_t(i)});
        }
        return p;
    }
    if (total > 8)
        return p;
    const int count = 1 << total;
    if (h.version == 3)
        return Palette(kEgaDefault.begin(), kEgaDefault.begin() + count);
    for (size_t i = 0; i < size_t(count); ++i)
        p.push_back(Rgb{h.colourMap[3 * i], h.colourMap[3 * i + 1], h.colourMap[3 * i + 2]});
    return p;
}

// Run-length decoding that carries a run across line ends, as some writers
// produce it. The bytes are taken from the source a window at a time.
class RleStream {
public:
    RleStream(ByteSource &source, uint64_t offset, bool rle) : in_(source, offset), rle_(rle) {}
    bool line(uint8_t *out, size_t n)
    {
        size_t i = 0;
        while (i < n) {
            if (runLeft_ > 0) {
                const size_t k = std::min(n - i, runLeft_);
                std::memset(out + i, runValue_, k);
                i += k;
                runLeft_ -= k;
                continue;
            }
            size_t got = 0;
            const uint8_t *p = in_.span(kChunk, got);
            if (got == 0)
                return false;
            if (!rle_) {
                const size_t k = std::min(n - i, got);
                std::memcpy(out + i, p, k);
                i += k;
                in_.skip(k);
                continue;
            }
            const uint8_t *q = p;
            const uint8_t *end = p + got;
            // A run's count and its value may lie on either side of the
            // window's end: that one is taken byte by byte.
            if (got == 1 && *q >= 0xC0) {
                const size_t run = *q & 0x3F;
                in_.skip(1);
                const int value = in_.next();
                if (value < 0)
                    return false;
                runLeft_ = run;
                runValue_ = uint8_t(value);
                continue;
            }
            while (i < n && q < end) {
                const uint8_t b = *q;
                if (b < 0xC0) {
                    out[i++] = b;
                    ++q;
                    continue;
                }
                if (end - q < 2)
                    break;
                const size_t run = b & 0x3F;
                const uint8_t value = q[1];
                q += 2;
                const size_t k = std::min(n - i, run);
                if (k > 8)
                    std::memset(out + i, value, k);
                else
                    for (size_t m = 0; m < k; ++m)
                        out[i + m] = value;
                i += k;
                if (run > k) {
                    runLeft_ = run - k;
                    runValue_ = value;
                }
            }
            in_.skip(uint64_t(q - p));
        }
        return true;
    }

private:
    static constexpr size_t kChunk = size_t(64) * 1024;
    ByteCursor in_;
    bool rle_;
    size_t runLeft_ = 0;
    uint8_t runValue_ = 0;
};

} // namespace

int readPcxSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    // The header is kept: the source's window moves on as the rows are read.
    uint8_t head[kHeaderSize] = {};
    const uint64_t size = source.size();
    const size_t got = source.read(0, head, kHeaderSize);
    Header h;
    int rc = parseHeader(head, got < kHeaderSize ? got : size_t(std::min<uint64_t>(size, SIZE_MAX)), h);
    if (rc != kOk)
        return rc;
    if (rc = checkPictureSize(uint64_t(h.width), uint64_t(h.height)); rc != kOk)
        return rc;
    const uint64_t lineBytes = uint64_t(h.bytesPerLine) * uint64_t(h.planes);
    // A run codes at most 63 bytes in two, so a file this short cannot hold the
    // picture its header claims; refuse before allocating for it.
    const uint64_t body = size - kHeaderSize;
    if (lineBytes * uint64_t(h.height) > body * (h.rle ? 32 : 1))
        return kTruncated;
    RowFeed feed;
    rc = feed.begin(options, h.width, h.height, naturalBits(h), image);
    if (rc != kOk)
        return rc;
    Image &out = feed.image();
    Palette filePalette = paletteOf(h, source);
    std::vector<uint8_t> line(static_cast<size_t>(lineBytes));
    RleStream stream(source, kHeaderSize, h.rle);
    ProgressReporter progress(options.progress);
    const size_t bpl = h.bytesPerLine;
    for (int y = 0; y < h.height; ++y) {
        if (!stream.line(line.data(), line.size())) {
            image.clear();
            return kTruncated;
        }
        const int at = feed.line(y);
        uint8_t *dst = out.row(at);
        if (h.bits == 8 && h.planes >= 3) {
            // Through local pointers: a store through dst could otherwise
            // be the vector's own, and each byte would reload it.
            const uint8_t *red = line.data(), *green = red + bpl, *blue = green + bpl;
            for (int x = 0; x < h.width; ++x, dst += 3) {
                dst[0] = blue[x];
                dst[1] = green[x];
                dst[2] = red[x];
            }
        } else if (h.bits == 1) {
            for (int x = 0; x < h.width; ++x) {
                int v = 0;
                for (int p = 0; p < h.planes; ++p)
                    v |= ((line[size_t(p) * bpl + size_t(x >> 3)] >> (7 - (x & 7))) & 1) << p;
                out.setIndex(x, at, v);
            }
        } else {
            const int perByte = 8 / h.bits;
            const int mask = (1 << h.bits) - 1;
            for (int x = 0; x < h.width; ++x) {
                const int shift = 8 - h.bits * (x % perByte + 1);
                out.setIndex(x, at, (line[size_t(x / perByte)] >> shift) & mask);
            }
        }
        feed.done(filePalette);
        if (!progress.report(uint64_t(y) + 1, uint64_t(h.height))) {
            image.clear();
            return kStopped;
        }
    }
    return feed.finish(image, palette, std::move(filePalette), options);
}

int readPcx(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    ByteSource source(data, size);
    return readPcxSource(source, options, image, palette);
}

int infoPcx(const uint8_t *data, size_t size, FileInfo &info)
{
    Header h;
    const int rc = parseHeader(data, size, h);
    if (rc != kOk)
        return rc;
    const int total = h.bits * h.planes;
    info.type = "PCX";
    info.width = h.width;
    info.height = h.height;
    info.bitsPerPixel = total;
    info.paletteColours = total <= 8 ? (1 << total) : 0;
    info.pictures = 1;
    info.format = "PCX version " + std::to_string(h.version) + (h.rle ? "" : " raw");
    return kOk;
}

namespace {

void encodeRun(std::vector<uint8_t> &out, const uint8_t *src, size_t n)
{
    size_t i = 0;
    while (i < n) {
        const uint8_t v = src[i];
        size_t run = 1;
        while (i + run < n && run < 63 && src[i + run] == v)
            ++run;
        if (run > 1 || v >= 0xC0)
            out.push_back(uint8_t(0xC0 | run));
        out.push_back(v);
        i += run;
    }
}

} // namespace

int writePcx(const std::string &path, int depth, const Image &image, const Palette &palette, const Progress *progress)
{
    if (image.empty())
        return kNoPicture;
    if (!isDepthCode(depth))
        return kBadDepth;
    if (image.width() > 65535 || image.height() > 65535)
        return kTooLarge;
    const int bits = depth == 0 ? 4 : depth;
    WriteSource source;
    if (const int rc = prepareWrite(image, palette, depth, source); rc != kOk)
        return rc;
    const Image *img = source.image;
    const Palette *pal = source.palette;
    const int planes = bits == 24 ? 3 : bits == 4 ? 4 : 1;
    const int planeBits = bits == 24 ? 8 : bits == 8 ? 8 : 1;
    size_t bpl = (size_t(img->width()) * size_t(planeBits) + 7) / 8;
    bpl += bpl & 1;
    if (bpl > 65535)
        return kTooLarge;

    uint8_t header[kHeaderSize] = {};
    header[0] = 0x0A;
    header[1] = 5;
    header[2] = 1;
    header[3] = uint8_t(planeBits);
    putLe16(header + 8, uint32_t(img->width() - 1));
    putLe16(header + 10, uint32_t(img->height() - 1));
    putLe16(header + 12, 72);
    putLe16(header + 14, 72);
    if (bits <= 4) {
        for (size_t i = 0; i < 16 && i < pal->size(); ++i) {
            header[16 + 3 * i] = (*pal)[i].r;
            header[17 + 3 * i] = (*pal)[i].g;
            header[18 + 3 * i] = (*pal)[i].b;
        }
    }
    header[65] = uint8_t(planes);
    putLe16(header + 66, uint32_t(bpl));
    putLe16(header + 68, 1);

    OutputFile file(path);
    if (!file.isOpen())
        return kCannotWrite;
    file.write(header, sizeof header);
    std::vector<uint8_t> plane(bpl), coded;
    coded.reserve(bpl * 2 * size_t(planes));
    ProgressReporter reporter(progress);
    const int w = img->width();
    for (int y = 0; y < img->height(); ++y) {
        coded.clear();
        const uint8_t *src = img->row(y);
        for (int p = 0; p < planes; ++p) {
            std::fill(plane.begin(), plane.end(), 0);
            if (bits == 24) {
                for (int x = 0; x < w; ++x)
                    plane[size_t(x)] = src[3 * size_t(x) + size_t(2 - p)];
            } else if (bits == 8) {
                std::memcpy(plane.data(), src, size_t(w));
            } else if (bits == 1) {
                std::memcpy(plane.data(), src, (size_t(w) + 7) / 8);
            } else {
                for (int x = 0; x < w; ++x)
                    if ((img->index(x, y) >> p) & 1)
                        plane[size_t(x >> 3)] |= uint8_t(0x80 >> (x & 7));
            }
            encodeRun(coded, plane.data(), bpl);
        }
        if (!file.write(coded.data(), coded.size()))
            return kCannotWrite;
        if (!reporter.report(uint64_t(y) + 1, uint64_t(img->height())))
            return kStopped;
    }
    if (bits == 8) {
        uint8_t tail[769] = {0x0C};
        for (size_t i = 0; i < 256 && i < pal->size(); ++i) {
            tail[1 + 3 * i] = (*pal)[i].r;
            tail[2 + 3 * i] = (*pal)[i].g;
            tail[3 + 3 * i] = (*pal)[i].b;
        }
        file.write(tail, sizeof tail);
    }
    return file.commit() ? kOk : kCannotWrite;
}

} // namespace brisvale::codec
