#include "imaging/codec/Image.h"

#include "imaging/codec/Status.h"

#include <cstring>

namespace brisvale::codec {

namespace {
Limits g_limits;
}

const Limits &limits() { return g_limits; }
void setLimits(const Limits &l) { g_limits = l; }

int checkPictureSize(uint64_t width, uint64_t height)
{
    if (width == 0 || height == 0)
        return kDamaged;
    // Each side also stays far enough inside int that x * 4 cannot overflow.
    constexpr uint64_t kMaxSide = uint64_t(1) << 28;
    if (width > kMaxSide || height > kMaxSide || width * height > g_limits.maxPixels)
        return kTooLarge;
    return kOk;
}

int checkWorkBytes(uint64_t count, uint64_t each)
{
    if (each != 0 && count > g_limits.maxPixels * 4 / each)
        return kTooLarge;
    return kOk;
}

size_t Image::strideFor(uint32_t width, int bits)
{
    const uint64_t rowBits = uint64_t(width) * uint64_t(bits);
    const uint64_t bytes = ((rowBits + 31) / 32) * 4;
    if (bytes > SIZE_MAX / 2)
        return 0;
    return size_t(bytes);
}

int Image::create(int width, int height, int bits, Image &out)
{
    out.clear();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return kBadArgument;
    if (width <= 0 || height <= 0)
        return kDamaged;
    if (const int rc = checkPictureSize(uint64_t(width), uint64_t(height)); rc != kOk)
        return rc;
    const size_t stride = strideFor(uint32_t(width), bits);
    if (stride == 0)
        return kTooLarge;
    const uint64_t total = uint64_t(stride) * uint64_t(height);
    if (total > SIZE_MAX)
        return kTooLarge;
    // calloc hands back untouched zero pages for large sizes, so a picture
    // costs memory only as its rows are written.
    auto *p = static_cast<uint8_t *>(std::calloc(size_t(total), 1));
    if (!p)
        return kOutOfMemory;
    out.data_.reset(p);
    out.width_ = width;
    out.height_ = height;
    out.bits_ = bits;
    out.stride_ = stride;
    return kOk;
}

int Image::makeRoom(size_t bytes)
{
    if (bytes <= byteSize())
        return kOk;
    // realloc of a large block moves pages rather than bytes.
    auto *p = static_cast<uint8_t *>(std::realloc(data_.get(), bytes));
    if (!p)
        return kOutOfMemory;
    (void)data_.release();
    data_.reset(p);
    return kOk;
}

void Image::fit()
{
    if (auto *p = static_cast<uint8_t *>(std::realloc(data_.get(), byteSize()))) {
        (void)data_.release();
        data_.reset(p);
    }
}

int Image::crop(int x, int y, int width, int height)
{
    if ((bits_ != 24 && bits_ != 8) || x < 0 || y < 0 || width <= 0 || height <= 0 || x > width_ - width
        || y > height_ - height)
        return kBadArgument;
    const size_t stride = strideFor(uint32_t(width), bits_);
    const size_t bytes = size_t(bits_ / 8);
    // Every row moves to an address at or before its own, so front to back
    // nothing is overwritten before it has been read.
    for (int r = 0; r < height; ++r)
        std::memmove(data_.get() + stride * size_t(r), row(y + r) + size_t(x) * bytes, size_t(width) * bytes);
    width_ = width;
    height_ = height;
    stride_ = stride;
    fit();
    return kOk;
}

uint8_t *Image::release()
{
    uint8_t *p = data_.release();
    clear();
    return p;
}

int Image::index(int x, int y) const
{
    const uint8_t *r = row(y);
    switch (bits_) {
    case 1: return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (r[x >> 1] & 0x0f) : (r[x >> 1] >> 4);
    case 8: return r[x];
    default: return 0;
    }
}

void Image::setIndex(int x, int y, int value)
{
    uint8_t *r = row(y);
    switch (bits_) {
    case 1: {
        const uint8_t mask = uint8_t(0x80 >> (x & 7));
        r[x >> 3] = value & 1 ? uint8_t(r[x >> 3] | mask) : uint8_t(r[x >> 3] & ~mask);
        break;
    }
    case 4:
        if (x & 1)
            r[x >> 1] = uint8_t((r[x >> 1] & 0xf0) | (value & 0x0f));
        else
            r[x >> 1] = uint8_t((r[x >> 1] & 0x0f) | ((value & 0x0f) << 4));
        break;
    case 8: r[x] = uint8_t(value); break;
    default: break;
    }
}

} // namespace brisvale::codec
