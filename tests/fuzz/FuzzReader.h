#pragma once

// One libFuzzer target per reader: each input is read at a depth code, dither
// flag and starting palette chosen from its size, and its file information is
// taken. The limits are the program's own, so a header that gets a large
// allocation past them shows up as a finding of the run's memory cap.

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/ColourSpace.h"
#include "imaging/codec/FileInfo.h"
#include "imaging/codec/Image.h"
#include "imaging/codec/Status.h"

#include <cstddef>
#include <cstdint>
#include <map>

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
        // Whatever profile the file carried goes through its conversion.
        codec::convertColours(image, palette, codec::ColourTarget::Srgb);
    } else if (!image.empty()) {
        __builtin_trap(); // a failed read must hand back no picture
    }
    {
        // Again in true colour with the rows handed over one at a time: every
        // row of the width announced, as many as announced, and no picture
        // beside them; failing where the whole read fails.
        int whole = rc;
        if (options.depth != 24) {
            options.depth = 24;
            codec::Image wholeImage;
            codec::Palette wholePalette;
            whole = read(data, size, options, wholeImage, wholePalette);
        }
        struct Counter : codec::RowSink {
            int width = 0, height = 0, rows = 0;
            std::map<int, int> next; // where each row begun and not yet whole goes on
            bool pieces = false;
            bool wants(int w, int h) override
            {
                width = w;
                height = h;
                return true;
            }
            void take(const uint8_t *bgr) override
            {
                volatile uint8_t last = bgr[size_t(width) * 3 - 1];
                (void)last;
                if (!next.empty() || ++rows > height)
                    __builtin_trap();
            }
            // Each row's pieces from the left, each where the last ended;
            // rows made whole from the top down.
            bool takesPieces() const override { return pieces; }
            void takePiece(int y, const uint8_t *bgr, int x0, int count) override
            {
                int &at = next[y];
                if (y < rows || y >= height || x0 != at || count <= 0 || x0 + count > width)
                    __builtin_trap();
                volatile uint8_t last = bgr[size_t(count) * 3 - 1];
                (void)last;
                at = x0 + count;
                if (at == width) {
                    if (y != rows)
                        __builtin_trap();
                    next.erase(y);
                    ++rows;
                }
            }
        } counter;
        counter.pieces = (size / 30) % 2 != 0;
        options.sink = &counter;
        codec::Image streamed;
        codec::Palette streamedPalette;
        const int streamedRc = read(data, size, options, streamed, streamedPalette);
        // Only the whole picture's own memory may fail where the rows do not.
        const bool memory = whole == codec::kOutOfMemory || whole == codec::kTooLarge;
        if (streamedRc != whole && !(streamedRc == codec::kOk && memory))
            __builtin_trap();
        if (streamedRc != codec::kOk
                ? !streamed.empty()
                : streamed.empty() != (counter.rows > 0) || (counter.rows > 0 && counter.rows != counter.height))
            __builtin_trap();
    }
    codec::FileInfo fileInfo;
    info(data, size, fileInfo);
    return 0;
}

} // namespace brisvale::fuzz

#define BRISVALE_FUZZ_READER(read, info)                                                                               \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                                            \
    {                                                                                                                  \
        return brisvale::fuzz::runOne(read, info, data, size);                                                         \
    }
