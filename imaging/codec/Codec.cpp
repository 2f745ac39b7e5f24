#include "imaging/codec/Codec.h"

#include "imaging/codec/Avif.h"
#include "imaging/codec/Bmp.h"
#include "imaging/codec/ByteSource.h"
#include "imaging/codec/FileIO.h"
#include "imaging/codec/Gif.h"
#include "imaging/codec/Heif.h"
#include "imaging/codec/Jpeg.h"
#include "imaging/codec/Pcx.h"
#include "imaging/codec/Png.h"
#include "imaging/codec/Tiff.h"
#include "imaging/codec/Transform.h"
#include "imaging/codec/Webp.h"

#include <algorithm>
#include <cstring>

namespace brisvale::codec {

namespace {

using Reader = int (*)(const uint8_t *, size_t, const ReadOptions &, Image &, Palette &);
using SourceReader = int (*)(ByteSource &, const ReadOptions &, Image &, Palette &);

// The readers that take their bytes as they need them: what they cost
// depends on the picture, never on how long the file is.
SourceReader streamingOf(Reader reader)
{
    if (reader == readBmp)
        return readBmpSource;
    if (reader == readGif)
        return readGifSource;
    if (reader == readPcx)
        return readPcxSource;
    if (reader == readPng)
        return readPngSource;
    if (reader == readTiff)
        return readTiffSource;
    if (reader == readWebp)
        return readWebpSource;
    if (reader == readAvif)
        return readAvifSource;
    if (reader == readHeif)
        return readHeifSource;
    return nullptr;
}

// Every read by name: the starting palette taken in, and on failure neither
// picture nor palette handed back.
template <typename Read>
int16_t readGuarded(ReadOptions options, Image &bitmap, Palette &palette, Read read)
{
    bitmap.clear();
    const Palette start = palette;
    palette.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    options.start = &start;
    const int rc = read(options);
    if (rc < kOk) {
        bitmap.clear();
        palette.clear();
    }
    return int16_t(rc);
}

// A JPEG is decoded from the open file as it is read, as are the kinds with a
// streaming reader; any other kind parses the file whole in memory.
int16_t readNamed(Reader reader, const std::string &name, ReadOptions options, Image &bitmap, Palette &palette)
{
    return readGuarded(options, bitmap, palette, [&](const ReadOptions &o) {
        int rc;
        if (!reader) {
            FILE *file = nullptr;
            rc = openFile(name, file);
            if (rc == kOk) {
                rc = readJpegStream(file, o, bitmap, palette);
                std::fclose(file);
            }
        } else if (SourceReader streaming = streamingOf(reader)) {
            ByteSource source;
            rc = source.open(name);
            if (rc == kOk)
                rc = streaming(source, o, bitmap, palette);
        } else {
            FileData file;
            rc = loadFile(name, file);
            if (rc == kOk)
                rc = reader(file.bytes.get(), file.size, o, bitmap, palette);
        }
        return rc;
    });
}

ReadOptions optionsFor(int32_t depth, int32_t dither, const Progress &progress)
{
    ReadOptions options;
    options.depth = depth;
    options.dither = dither != 0;
    options.progress = &progress;
    return options;
}

int16_t readFile(Reader reader, const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                 const Progress &progress)
{
    return readNamed(reader, name, optionsFor(depth, dither, progress), bitmap, palette);
}

Reader readerOf(FileKind kind)
{
    switch (kind) {
    case FileKind::Bmp: return readBmp;
    case FileKind::Gif: return readGif;
    case FileKind::Pcx: return readPcx;
    case FileKind::Png: return readPng;
    case FileKind::Tif: return readTiff;
    case FileKind::Webp: return readWebp;
    case FileKind::Avif: return readAvif;
    case FileKind::Heif: return readHeif;
    case FileKind::Jpg:
    default: break;
    }
    return nullptr;
}

void copyText(char *out, size_t capacity, const std::string &text)
{
    const size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// Answered for the phone kinds, from what their libraries read of them;
// kNotPhone for every other file.
constexpr int kNotPhone = INT16_MIN;
int phoneInfo(const std::string &name, FileInfo &info)
{
    ByteSource file;
    if (file.open(name) != kOk)
        return kNotPhone;
    using Info = int (*)(ByteSource &, FileInfo &);
    static const Info kinds[] = {infoWebpSource, infoAvifSource, infoHeifSource};
    static const int notMine[] = {kNotWebp, kNotAvif, kNotHeif};
    for (size_t i = 0; i < std::size(kinds); ++i) {
        info = FileInfo();
        if (const int rc = kinds[i](file, info); rc != notMine[i])
            return rc;
    }
    info = FileInfo();
    return kNotPhone;
}

int16_t clamp16(int v) { return int16_t(std::clamp(v, -32768, 32767)); }

} // namespace

int16_t initialise()
{
    quietTiff();
    return kOk;
}

int16_t readBmpFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                    const Progress &progress, int32_t)
{
    return readFile(readBmp, name, depth, dither, bitmap, palette, progress);
}

int16_t readJpgFile(const std::string &name, int32_t depth, int32_t scale, int32_t dither, Image &bitmap,
                    Palette &palette, const Progress &progress, int32_t)
{
    if (scale != 1) {
        bitmap.clear();
        palette.clear();
        return kBadArgument;
    }
    return readFile(nullptr, name, depth, dither, bitmap, palette, progress);
}

int16_t readFileOfKind(FileKind kind, const std::string &name, int32_t depth, int32_t dither, Image &bitmap,
                       Palette &palette, const Progress &progress)
{
    return readFile(readerOf(kind), name, depth, dither, bitmap, palette, progress);
}

int16_t readFileForBox(FileKind kind, const std::string &name, int32_t depth, int32_t dither, int32_t coverWidth,
                       int32_t coverHeight, RowSink *sink, Image &bitmap, Palette &palette, const Progress &progress)
{
    if (coverWidth <= 0 || coverHeight <= 0) {
        bitmap.clear();
        palette.clear();
        return kBadArgument;
    }
    ReadOptions options = optionsFor(depth, dither, progress);
    options.coverWidth = coverWidth;
    options.coverHeight = coverHeight;
    options.sink = sink;
    return readNamed(readerOf(kind), name, options, bitmap, palette);
}

int16_t readGifFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                    const Progress &progress, int32_t)
{
    return readFile(readGif, name, depth, dither, bitmap, palette, progress);
}

int16_t readTifFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                    const Progress &progress, int32_t)
{
    return readFile(readTiff, name, depth, dither, bitmap, palette, progress);
}

int16_t readPcxFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                    const Progress &progress, int32_t)
{
    return readFile(readPcx, name, depth, dither, bitmap, palette, progress);
}

int16_t readPngFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                    const Progress &progress, int32_t)
{
    return readFile(readPng, name, depth, dither, bitmap, palette, progress);
}

int16_t readWebpFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                     const Progress &progress, int32_t)
{
    return readFile(readWebp, name, depth, dither, bitmap, palette, progress);
}

int16_t readAvifFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                     const Progress &progress, int32_t)
{
    return readFile(readAvif, name, depth, dither, bitmap, palette, progress);
}

int16_t readHeifFile(const std::string &name, int32_t depth, int32_t dither, Image &bitmap, Palette &palette,
                     const Progress &progress, int32_t)
{
    return readFile(readHeif, name, depth, dither, bitmap, palette, progress);
}

int16_t readBmpMemory(const uint8_t *data, size_t size, int32_t depth, int32_t dither, Image &bitmap, Palette &palette)
{
    const Palette start = palette;
    palette.clear();
    ReadOptions options;
    options.depth = depth;
    options.dither = dither != 0;
    options.start = &start;
    const int rc = readBmp(data, size, options, bitmap, palette);
    if (rc < kOk)
        palette.clear();
    return int16_t(rc);
}

int16_t writeBmpFile(const std::string &name, int32_t depth, const Image &bitmap, const Palette &palette,
                     const Progress &progress, int32_t)
{
    OutputFile file(name);
    return int16_t(writeBmp(file, depth, bitmap, palette, &progress));
}

int16_t writeBmpDescriptor(int descriptor, int32_t depth, const Image &bitmap, const Palette &palette,
                           const Progress &progress)
{
    OutputFile file(descriptor);
    return int16_t(writeBmp(file, depth, bitmap, palette, &progress));
}

int16_t writeGifFile(const std::string &name, int32_t depth, const Image &bitmap, const Palette &palette,
                     const Progress &progress, int32_t)
{
    return int16_t(writeGif(name, depth, bitmap, palette, &progress));
}

int16_t writePcxFile(const std::string &name, int32_t depth, const Image &bitmap, const Palette &palette,
                     const Progress &progress, int32_t)
{
    return int16_t(writePcx(name, depth, bitmap, palette, &progress));
}

int16_t writeJpgFile(const std::string &name, int32_t quality, int32_t smoothing, int32_t depth, const Image &bitmap,
                     const Palette &palette, const Progress &progress, int32_t)
{
    OutputFile file(name);
    return int16_t(writeJpeg(file, quality, smoothing, depth, bitmap, palette, &progress));
}

int16_t writeJpgDescriptor(int descriptor, int32_t quality, int32_t smoothing, int32_t depth, const Image &bitmap,
                           const Palette &palette, const Progress &progress)
{
    OutputFile file(descriptor);
    return int16_t(writeJpeg(file, quality, smoothing, depth, bitmap, palette, &progress));
}

int16_t flipBitmap(int32_t, Image &bitmap, Palette &, int32_t)
{
    if (bitmap.empty())
        return kNoPicture;
    flipVertical(bitmap);
    return kOk;
}

int16_t rotateBitmap(int32_t, Image &bitmap, Palette &, int32_t)
{
    if (bitmap.empty())
        return kNoPicture;
    return int16_t(rotateClockwise(bitmap));
}

int16_t getFileInfo(const std::string &name, char *type, int16_t *figures, char *format, int32_t)
{
    FileInfo info;
    int rc = phoneInfo(name, info);
    const bool phone = rc != kNotPhone;
    FileData file;
    // Most kinds tell their size in the first bytes; a file whose header goes
    // on further is then read further. GIF counts its pictures and TIFF keeps
    // its directories anywhere: those two are read where they need to be.
    constexpr size_t kHeadBytes = size_t(256) * 1024;
    constexpr size_t kLongestHeader = size_t(64) << 20;
    if (!phone)
        rc = loadFile(name, file, kHeadBytes);
    for (int attempt = 0; !phone && rc == kOk && attempt < 2; ++attempt) {
        const uint8_t *d = file.bytes.get();
        const size_t n = file.size;
        const bool whole = n == file.fileSize;
        if (n >= 4
            && (std::memcmp(d, "GIF", 3) == 0 || std::memcmp(d, "II*", 3) == 0 || std::memcmp(d, "II+", 3) == 0
                || std::memcmp(d, "MM\0", 3) == 0)) {
            ByteSource source;
            rc = source.open(name);
            if (rc == kOk)
                rc = d[0] == 'G' ? infoGifSource(source, info) : infoTiffSource(source, info);
            break;
        }
        using Info = int (*)(const uint8_t *, size_t, FileInfo &);
        // Tried in turn; each answers "not mine" quickly from the first bytes.
        static const Info kinds[] = {infoBmp, infoJpeg, infoGif, infoPng, infoTiff, infoPcx};
        static const int notMine[] = {kNotBmp, kNotJpeg, kNotGif, kNotPng, kNotTiff, kNotPcx};
        rc = kUnsupported;
        for (size_t i = 0; i < std::size(kinds); ++i) {
            info = FileInfo();
            const int r = kinds[i](d, n, info);
            if (r != notMine[i]) {
                rc = r;
                break;
            }
        }
        if (rc != kTruncated || whole)
            break;
        // No header of a real picture goes on for more than this; a file
        // that claims one is not read to its end.
        rc = loadFile(name, file, kLongestHeader);
    }
    if (rc < kOk) {
        info = FileInfo();
        info.type = "ERR";
        info.width = info.height = info.bitsPerPixel = info.paletteColours = info.pictures = -1;
        info.format = statusText(rc);
    }
    copyText(type, 6, info.type);
    copyText(format, 26, info.format);
    figures[0] = clamp16(info.width);
    figures[1] = clamp16(info.height);
    figures[2] = clamp16(info.bitsPerPixel);
    figures[3] = clamp16(info.paletteColours);
    figures[4] = clamp16(info.pictures);
    return int16_t(rc);
}

} // namespace brisvale::codec
