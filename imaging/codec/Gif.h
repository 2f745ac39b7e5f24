#pragma once

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileInfo.h"

#include <string>

namespace brisvale::codec {

class ByteSource;

// GIF through giflib: the first frame, interlaced or not, placed on its
// logical screen; transparent and uncovered pixels are shown white.
int readGifSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette);
int readGif(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette);
int infoGif(const uint8_t *data, size_t size, FileInfo &info);
int infoGifSource(ByteSource &source, FileInfo &info);
// Writes 1, 4 or 8 bits; depth 0 writes the VGA colours, 24 is written as 8.
int writeGif(const std::string &path, int depth, const Image &image, const Palette &palette, const Progress *progress);

} // namespace brisvale::codec
