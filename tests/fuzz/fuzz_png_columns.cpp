#include "imaging/codec/ByteSource.h"
#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/Image.h"
#include "imaging/codec/Png.h"
#include "imaging/codec/Status.h"

#include <cstring>
#include <vector>

// The column decoder against libpng on the same bytes: whatever the file, the
// two reads fail the same way or give the same pixels. Pictures are held to a
// megapixel, so the comparison runs many times a second.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    brisvale::codec::Limits small;
    small.maxPixels = uint64_t(1) << 20;
    brisvale::codec::setLimits(small);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace brisvale::codec;
    ByteSource forLibpng(data, size), forColumns(data, size);
    const ReadOptions options;
    Image a, b;
    Palette pa, pb;
    const int viaLibpng = readPngSource(forLibpng, options, a, pa, PngRows::Auto);
    const int viaColumns = readPngSource(forColumns, options, b, pb, PngRows::Columns);
    if (viaColumns == kTooLarge && viaLibpng != kTooLarge)
        return 0; // more rows than the column decoder takes: libpng reads those
    if (viaLibpng != viaColumns || (viaColumns != kOk && !b.empty()))
        __builtin_trap();
    if (viaLibpng != kOk)
        return 0;
    if (a.width() != b.width() || a.height() != b.height() || a.bits() != b.bits() || pa != pb)
        __builtin_trap();
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.row(y), b.row(y), a.stride()) != 0)
            __builtin_trap();
    }

    // The same rows handed to a preview's sink: in pieces across the width
    // (each row from the left, whole from the top down) or, interlaced, whole
    // at the end; the pixels of the true-colour picture either way.
    struct Collector : RowSink {
        Image picture;
        int whole = 0;
        std::vector<int> next;
        bool wants(int w, int h) override
        {
            next.assign(size_t(h), 0);
            return Image::create(w, h, 24, picture) == kOk;
        }
        void take(const uint8_t *bgr) override
        {
            // Interlaced rows come whole, once the last pass is in.
            if (whole >= picture.height() || next[size_t(whole)] != 0)
                __builtin_trap();
            std::memcpy(picture.row(whole), bgr, size_t(picture.width()) * 3);
            next[size_t(whole++)] = picture.width();
        }
        bool takesPieces() const override { return true; }
        void takePiece(int y, const uint8_t *bgr, int x0, int count) override
        {
            if (y < whole || y >= picture.height() || x0 != next[size_t(y)] || count <= 0
                || x0 + count > picture.width())
                __builtin_trap();
            std::memcpy(picture.row(y) + size_t(x0) * 3, bgr, size_t(count) * 3);
            next[size_t(y)] += count;
            if (next[size_t(y)] == picture.width() && y != whole++)
                __builtin_trap();
        }
    } collector;
    ReadOptions toSink;
    toSink.sink = &collector;
    ByteSource again(data, size);
    Image none;
    Palette nonePalette;
    if (readPngSource(again, toSink, none, nonePalette, PngRows::Columns) != kOk)
        __builtin_trap();
    if (!none.empty())
        __builtin_trap();
    if (collector.whole != a.height() || a.bits() != 24)
        __builtin_trap();
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.row(y), collector.picture.row(y), size_t(a.width()) * 3) != 0)
            __builtin_trap();
    }
    return 0;
}
