#pragma once

#include "imaging/codec/Image.h"

#include <cstddef>
#include <cstdint>

namespace brisvale::codec {

class ByteSource;
class ProgressReporter;
class RowSink;

// What the PNG reader learnt from the header, as the column decoder needs it.
struct PngLayout {
    uint32_t width = 0, height = 0;
    int bitDepth = 8;
    int colourType = 0;
    bool interlaced = false;
    // One byte a pixel, the samples as they stand (palette indices or grey
    // levels); otherwise blue, green, red with any transparency laid on white.
    bool indexed = false;
    bool hasTrns = false;
    uint16_t transGrey = 0, transRed = 0, transGreen = 0, transBlue = 0;
};

// A colour with its alpha laid on white, rounded.
inline uint8_t pngOverWhite(uint8_t c, uint8_t a) { return uint8_t((c * a + 255 * (255 - a) + 127) / 255); }

// libpng holds the file's current row and the one before it, at up to 8 bytes
// a pixel. For a picture only a few rows high and millions of pixels wide
// those two rows outweigh the picture itself; this answers whether to decode
// it in columns instead, which costs a few kilobytes besides the picture.
bool pngRowsTooLongForLibpng(const PngLayout &layout);

// Where the decoded pixels go: into the whole picture (8 bits when indexed,
// else 24), or, for a picture that is not interlaced, to a sink that takes
// rows in pieces, turned true colour through `palette` when indexed.
struct PngColumnsTarget {
    Image *picture = nullptr;
    RowSink *sink = nullptr;
    const Palette *palette = nullptr;
};

// Decodes the picture data that starts with the IDAT chunk whose data begins
// at `firstIdatData`, piece by piece across the width: every row of the file
// is read through its own copy of the inflate state, taken at the row's start
// in a first pass over the data.
// kOk, kDamaged, kTruncated, kOutOfMemory or kStopped.
int readPngColumns(ByteSource &source, uint64_t firstIdatData, const PngLayout &layout, const PngColumnsTarget &to,
                   ProgressReporter &progress);

} // namespace brisvale::codec
