#pragma once

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileInfo.h"

namespace brisvale::codec {

class ByteSource;

// HEIC and the other HEIF pictures through libheif: the primary picture,
// turned, mirrored and cropped as the file asks, deeper samples brought to 8
// bits, transparent parts shown on white.
int readHeifSource(ByteSource &file, const ReadOptions &options, Image &image, Palette &palette);
int readHeif(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette);
int infoHeifSource(ByteSource &file, FileInfo &info);
int infoHeif(const uint8_t *data, size_t size, FileInfo &info);

} // namespace brisvale::codec
