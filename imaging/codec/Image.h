#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace brisvale::codec {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};
using Palette = std::vector<Rgb>;

// Limits every reader checks before it allocates. The defaults suit a desktop;
// fuzz targets lower them so a hostile header cannot make a run slow.
struct Limits {
    uint32_t maxSide = 32767;
    uint64_t maxPixelBytes = uint64_t(1) << 30;
};
const Limits &limits();
void setLimits(const Limits &limits);

// A picture in memory: rows top to bottom, each padded to a multiple of 4
// bytes. 1 bit: most significant bit first; 4 bits: high nibble first; 8 bits:
// palette indices; 24 bits: blue, green, red. The palette travels beside it.
class Image {
public:
    Image() = default;

    // Makes a zero-filled picture, or answers kTooLarge / kOutOfMemory / kBadArgument.
    static int create(int width, int height, int bits, Image &out);
    // Bytes per row for a width and depth, or 0 when it overflows.
    static size_t strideFor(uint32_t width, int bits);

    bool empty() const { return !data_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int bits() const { return bits_; }
    size_t stride() const { return stride_; }
    size_t byteSize() const { return stride_ * size_t(height_); }
    uint8_t *row(int y) { return data_.get() + stride_ * size_t(y); }
    const uint8_t *row(int y) const { return data_.get() + stride_ * size_t(y); }
    uint8_t *data() { return data_.get(); }
    const uint8_t *data() const { return data_.get(); }

    // Palette index of a pixel of an indexed picture.
    int index(int x, int y) const;
    void setIndex(int x, int y, int value);

    void clear() { *this = Image(); }

private:
    struct Free {
        void operator()(uint8_t *p) const { std::free(p); }
    };
    int width_ = 0, height_ = 0, bits_ = 0;
    size_t stride_ = 0;
    std::unique_ptr<uint8_t, Free> data_;
};

} // namespace brisvale::codec
