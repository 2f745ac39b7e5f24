#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace brisvale::codec {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};
using Palette = std::vector<Rgb>;

class ColourSpace;

// What a picture from a file may cost, checked by every reader as soon as its
// header is parsed and before anything is allocated for the picture. 2^27
// pixels is about 134 megapixels: a 100-megapixel camera photo opens, while
// the largest picture stays well under half a gigabyte at 24 bits.
struct Limits {
    uint64_t maxPixels = uint64_t(1) << 27;
};
const Limits &limits();
void setLimits(const Limits &limits);

// kOk when a picture of that size may be made; kDamaged for a side of zero,
// kTooLarge past the limit. Sides are bounded only by the pixel count, so a
// 65535 x 1 strip is as welcome as a square of the same area.
int checkPictureSize(uint64_t width, uint64_t height);
// Bytes a buffer of `count` items of `each` bytes may take while decoding a
// picture: no more than the largest picture at 32 bits. kOk or kTooLarge.
int checkWorkBytes(uint64_t count, uint64_t each);

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

    // What the file says its colours mean; none for sRGB and for a file that
    // says nothing. Readers give it even when their rows went to a sink.
    const std::shared_ptr<const ColourSpace> &colour() const { return colour_; }
    void setColour(std::shared_ptr<const ColourSpace> colour) { colour_ = std::move(colour); }
    // For a decoder that lays wider rows into the picture's own buffer and
    // packs them down in place: the buffer grows to at least `bytes`
    // (kOk or kOutOfMemory), and fit() hands the room back.
    int makeRoom(size_t bytes);
    void fit();
    // Keeps only the part of `width` x `height` pixels from x, y, in place
    // (24 and 8 bits); kOk, or kBadArgument for a part outside the picture.
    int crop(int x, int y, int width, int height);

    void clear() { *this = Image(); }
    // Hands the pixel buffer (allocated by malloc) to the caller, who frees it
    // with std::free; the picture is empty afterwards.
    uint8_t *release();

private:
    struct Free {
        void operator()(uint8_t *p) const { std::free(p); }
    };
    int width_ = 0, height_ = 0, bits_ = 0;
    size_t stride_ = 0;
    std::unique_ptr<uint8_t, Free> data_;
    std::shared_ptr<const ColourSpace> colour_;
};

} // namespace brisvale::codec
