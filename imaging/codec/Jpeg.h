#pragma once

#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/FileInfo.h"

#include <cstdio>
#include <string>

namespace brisvale::codec {

class OutputFile;

// JPEG through libjpeg-turbo: baseline, progressive, grey, CMYK and YCCK; the
// EXIF orientation is applied so photographs stand upright.
int readJpeg(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette);
// The same, read as it streams from an open file, so a photograph is never
// held twice in memory.
int readJpegStream(FILE *file, const ReadOptions &options, Image &image, Palette &palette);
int infoJpeg(const uint8_t *data, size_t size, FileInfo &info);
// Quality 1..100, smoothing 0..100, depth 1 (grey) or 24 (colour).
int writeJpeg(OutputFile &file, int quality, int smoothing, int depth, const Image &image, const Palette &palette,
              const Progress *progress);

} // namespace brisvale::codec
