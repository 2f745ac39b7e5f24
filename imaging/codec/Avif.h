#pragma once

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileInfo.h"

namespace brisvale::codec {

class ByteSource;

// AVIF through libavif: 8, 10 and 12 bits a sample brought to 8, the file's
// rotation and mirroring applied, transparent parts shown on white; of an
// image sequence the first picture.
int readAvifSource(ByteSource &file, const ReadOptions &options, Image &image, Palette &palette);
int readAvif(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette);
int infoAvifSource(ByteSource &file, FileInfo &info);
int infoAvif(const uint8_t *data, size_t size, FileInfo &info);

} // namespace brisvale::codec
