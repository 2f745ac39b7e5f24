#pragma once

// One libFuzzer target per reader: each input is read at a depth code, dither
// flag and starting palette chosen from its size, and its file information is
// taken. The limits are the program's own, so a header that gets a large
// allocation past them shows up as a finding of the run's memory cap.

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileInfo.h"
#include "imaging/codec/Image.h"
#include "imaging/codec/Status.h"

#include <cstddef>
#include <cstdint>

namespace brisvale::fuzz {

using Reader = int (*)(const uint8_t *, size_t, const codec::ReadOptions &, codec::Image &, codec::Palette &);
using Info = int (*)(const uint8_t *, size_t, codec::FileInfo &);

inline int runOne(Reader read, Info info, const uint8_t *data, size_t size)
{
    static const int depths[] = {24, 8, 4, 1, 0};
    codec::ReadOptions options;
    options.depth = depths[size % 5];
    options.dither = (size / 5) % 2 != 0;
    const codec::Palette start = {{0, 0, 0}, {255, 255, 255}, {200, 30, 30}, {10, 120, 240}};
    if ((size / 10) % 3 == 0)
        options.start = &start;
    codec::Image image;
    codec::Palette palette;
    const int rc = read(data, size, options, image, palette);
    if (rc == codec::kOk) {
        // Touch every row so a wrong size shows up under the sanitizer.
        volatile uint8_t sink = 0;
        for (int y = 0; y < image.height(); ++y)
            sink = sink ^ image.row(y)[image.stride() - 1];
        (void)sink;
    } else if (!image.empty()) {
        __builtin_trap(); // a failed read must hand back no picture
    }
    codec::FileInfo fileInfo;
    info(data, size, fileInfo);
    return 0;
}

} // namespace brisvale::fuzz

#define BRISVALE_FUZZ_READER(read, info)                                                                            \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                                        \
    {                                                                                                              \
        return brisvale::fuzz::runOne(read, info, data, size);                                                     \
    }
