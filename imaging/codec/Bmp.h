#pragma once

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileInfo.h"

#include <string>

namespace brisvale::codec {

class ByteSource;
class OutputFile;

// Windows and OS/2 bitmaps: 1, 4, 8, 16, 24 and 32 bits, RLE4 and RLE8, bit
// fields, the 12-byte core header and the 40/52/56/64/108/124-byte ones.
int readBmpSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette);
int readBmp(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette);
int infoBmp(const uint8_t *data, size_t size, FileInfo &info);
// Writes 1, 4, 8 or 24 bits with a 40-byte header; depth 0 writes 4 bits with
// the VGA colours.
int writeBmp(OutputFile &file, int depth, const Image &image, const Palette &palette, const Progress *progress);

} // namespace brisvale::codec
