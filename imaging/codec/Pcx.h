#pragma once

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileInfo.h"

#include <string>

namespace brisvale::codec {

class ByteSource;

// PCX: 1 to 4 planes of 1 bit, packed 2, 4 and 8 bits (with the 256-colour
// palette at the end), 24 bits in three planes; run-length coded or raw.
int readPcxSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette);
int readPcx(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette);
int infoPcx(const uint8_t *data, size_t size, FileInfo &info);
// Writes 1 bit, 4 bits in four planes, 8 bits, or 24 bits in three planes;
// depth 0 writes 4 bits with the VGA colours.
int writePcx(const std::string &path, int depth, const Image &image, const Palette &palette, const Progress *progress);

} // namespace brisvale::codec
