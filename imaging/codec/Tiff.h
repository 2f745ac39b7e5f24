#pragma once

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileInfo.h"

namespace brisvale::codec {

class ByteSource;

// TIFF through libtiff: the first picture, in strips or tiles, with the usual
// compressions, 1 to 16 bits per sample and palettes; transparency on white.
int readTiffSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette);
int readTiff(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette);
int infoTiff(const uint8_t *data, size_t size, FileInfo &info);
int infoTiffSource(ByteSource &source, FileInfo &info);
// Sets libtiff's process-wide handlers so it never prints.
void quietTiff();

} // namespace brisvale::codec
