#pragma once

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileInfo.h"

namespace brisvale::codec {

class ByteSource;

// PNG through libpng: every colour type and bit depth, interlaced or not;
// transparent parts are shown on white.
// How the picture data is decoded: through libpng's rows unless they would
// cost more than the picture may, or always in columns (for comparing the two).
enum class PngRows { Auto, Columns };
int readPngSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette, PngRows rows);
int readPngSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette);
int readPng(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette);
int infoPng(const uint8_t *data, size_t size, FileInfo &info);

} // namespace brisvale::codec
