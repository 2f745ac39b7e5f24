#pragma once

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileInfo.h"

namespace brisvale::codec {

class ByteSource;

// WebP through libwebp: lossy, lossless, with alpha, and the first frame of
// an animation as it shows on its canvas; the EXIF orientation is applied and
// transparent parts are shown on white.
int readWebpSource(ByteSource &file, const ReadOptions &options, Image &image, Palette &palette);
int readWebp(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette);
int infoWebpSource(ByteSource &file, FileInfo &info);
int infoWebp(const uint8_t *data, size_t size, FileInfo &info);

} // namespace brisvale::codec
