#include "imaging/codec/ByteSource.h"
#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/Image.h"
#include "imaging/codec/Png.h"
#include "imaging/codec/Status.h"

#include <cstring>

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
    return 0;
}
