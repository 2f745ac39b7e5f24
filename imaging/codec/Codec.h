#pragma once

// The image codec library's calls. Each answers a status: 1 or more is
// success, 0 or less a failure whose text statusText() gives. Reads hand back
// the picture and its palette (the palette given in is the starting palette an
// 8-bit read maps onto); a failed read hands back an empty picture.

#include "imaging/codec/Image.h"
#include "imaging/codec/Progress.h"
#include "imaging/codec/Status.h"

#include <cstdint>
#include <string>

namespace brisvale::codec {

// Sets up the underlying libraries; called once at start-up.
int16_t initialise();

int16_t readBmpFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                    const Progress &progress, int32_t reserved = 0);
// `scale` is accepted for the call's shape and must be 1.
int16_t readJpgFile(const std::string &name, int32_t depth, int32_t scale, int32_t dither, Image &bitmap,
                    Palette &palette, const Progress &progress, int32_t reserved = 0);
int16_t readGifFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                    const Progress &progress, int32_t reserved = 0);
int16_t readTifFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                    const Progress &progress, int32_t reserved = 0);
int16_t readPcxFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                    const Progress &progress, int32_t reserved = 0);
int16_t readPngFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                    const Progress &progress, int32_t reserved = 0);
int16_t readWebpFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                     const Progress &progress, int32_t reserved = 0);
int16_t readAvifFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                     const Progress &progress, int32_t reserved = 0);
int16_t readHeifFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                     const Progress &progress, int32_t reserved = 0);

class RowSink;
enum class FileKind { Bmp, Gif, Jpg, Pcx, Png, Tif, Webp, Avif, Heif };

// A read for a picture that only goes on to be shrunk into a box of
// coverWidth x coverHeight: a JPEG is decoded at the smallest size the DCT
// gives (1/8 up to the full size) that still covers the box; at depth 24 the
// other kinds hand their rows to `sink` when it wants them and give back no
// picture. Otherwise as the read of that kind.
// The read of a file of that kind (readJpgFile's at scale 1 for JPEG).
int16_t readFileOfKind(FileKind kind, const std::string &name, int32_t depth, int32_t dither, Image &bitmap,
                       Palette &palette, const Progress &progress);

int16_t readFileForBox(FileKind kind, const std::string &name, int32_t depth, int32_t dither, int32_t coverWidth,
                       int32_t coverHeight, RowSink *sink, Image &bitmap, Palette &palette, const Progress &progress);

int16_t writeBmpFile(const std::string &name, int32_t depth, const Image &bitmap, const Palette &palette,
                     const Progress &progress, int32_t reserved = 0);
int16_t writeGifFile(const std::string &name, int32_t depth, const Image &bitmap, const Palette &palette,
                     const Progress &progress, int32_t reserved = 0);
int16_t writePcxFile(const std::string &name, int32_t depth, const Image &bitmap, const Palette &palette,
                     const Progress &progress, int32_t reserved = 0);
// depth 1 writes grey, 24 colour.
int16_t writeJpgFile(const std::string &name, int32_t quality, int32_t smoothing, int32_t depth, const Image &bitmap,
                     const Palette &palette, const Progress &progress, int32_t reserved = 0);
// The system's reason (an errno value) why the last write on this thread
// could not make its file, or 0 when it met none.
int lastWriteError();
// The same pictures written into a file the caller has opened and puts in
// place itself: nothing is renamed or synced, the descriptor stays open.
int16_t writeBmpDescriptor(int descriptor, int32_t depth, const Image &bitmap, const Palette &palette,
                           const Progress &progress);
int16_t writeJpgDescriptor(int descriptor, int32_t quality, int32_t smoothing, int32_t depth, const Image &bitmap,
                           const Palette &palette, const Progress &progress);

// A bitmap held in memory (a whole BMP file), read as readBmpFile reads files.
int16_t readBmpMemory(const uint8_t *data, size_t size, int32_t depth, int32_t dither, Image &bitmap, Palette &palette);

// Mirror top to bottom / a quarter turn clockwise; the picture keeps its depth.
int16_t flipBitmap(int32_t displayDepth, Image &bitmap, Palette &palette, int32_t reserved = 0);
int16_t rotateBitmap(int32_t displayDepth, Image &bitmap, Palette &palette, int32_t reserved = 0);

// type: at most 5 characters and a NUL (6 bytes); figures: width, height,
// bits per pixel, palette colours (0: none), pictures in the file; format: at
// most 25 characters and a NUL (26 bytes). The kind is told by content.
int16_t getFileInfo(const std::string &name, char *type, int16_t *figures, char *format, int32_t reserved = 0);

} // namespace brisvale::codec
