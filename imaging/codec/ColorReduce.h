#pragma once

#include "imaging/codec/Image.h"
#include "imaging/codec/Progress.h"

namespace brisvale::codec {

// What every read is given besides the file.
struct ReadOptions {
    int depth = 24;                  // 0 (the 16 VGA colours), 1, 4, 8 or 24
    bool dither = false;             // error diffusion when colours are reduced
    const Palette *start = nullptr;  // an 8-bit read maps onto it when not empty
    const Progress *progress = nullptr;
    // When both are set, a reader that can decode at a reduced size (JPEG)
    // picks the smallest one that still covers this box, upright.
    int coverWidth = 0;
    int coverHeight = 0;
};

bool isDepthCode(int depth);

// The 16 fixed colours of the VGA system palette.
const Palette &vgaPalette();

// One row as blue, green, red bytes (3 × width), whatever the picture's depth.
void rowToBgr(const Image &image, const Palette &palette, int y, uint8_t *out);

// Turns a decoded picture (indexed with its palette, or 24-bit) into the depth
// code asked for. Palettes are made by libimagequant where they are free and
// mapped by error diffusion where they are fixed (VGA, black and white, start).
int toDepth(Image &image, Palette &palette, const ReadOptions &options);

// The end of every reader: the file's palette goes out with the picture,
// both reduced to the depth asked for; on failure no picture goes out.
int finishRead(Image &image, Palette &palette, Palette filePalette, const ReadOptions &options);

// As toDepth for writers: depth 0 gives 4-bit VGA, and reductions always dither.
int toWriteDepth(const Image &image, const Palette &palette, int depth, Image &out, Palette &outPalette);

// The picture a writer writes at a depth code: the caller's own when it
// already has that many bits, else a converted copy held here.
struct WriteSource {
    Image converted;
    Palette convertedPalette;
    const Image *image = nullptr;
    const Palette *palette = nullptr;
};
int prepareWrite(const Image &image, const Palette &palette, int depth, WriteSource &source);

} // namespace brisvale::codec
