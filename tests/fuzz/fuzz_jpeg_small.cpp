#include "tests/fuzz/FuzzReader.h"

#include "imaging/codec/Image.h"
#include "imaging/codec/Jpeg.h"

// fuzz_jpeg keeps the program's own limit, for headers that claim more than
// memory holds; but at that limit a mutated header makes nearly every input a
// picture of a hundred megapixels (a progressive one sets aside all of its
// coefficients), and the fuzzer gets few inputs a second. Here pictures may
// have at most a megapixel, so the decoder itself is explored in depth.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    brisvale::codec::Limits small;
    small.maxPixels = uint64_t(1) << 20;
    brisvale::codec::setLimits(small);
    return 0;
}

BRISVALE_FUZZ_READER(brisvale::codec::readJpeg, brisvale::codec::infoJpeg)
