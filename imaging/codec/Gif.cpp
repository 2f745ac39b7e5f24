#include "imaging/codec/Gif.h"

#include "imaging/codec/FileIO.h"
#include "imaging/codec/Status.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <gif_lib.h>

namespace brisvale::codec {

namespace {

struct MemoryReader {
    const uint8_t *data;
    size_t size;
    size_t pos;
    bool truncated;
};

int readFromMemory(GifFileType *gif, GifByteType *out, int length)
{
    auto *r = static_cast<MemoryReader *>(gif->UserData);
    if (length <= 0)
        return 0;
    size_t n = std::min(size_t(length), r->size - r->pos);
    if (n < size_t(length))
        r->truncated = true;
    std::memcpy(out, r->data + r->pos, n);
    r->pos += n;
    return int(n);
}

class GifReader {
public:
    GifReader(const uint8_t *data, size_t size) : source_{data, size, 0, false}
    {
        gif_ = DGifOpen(&source_, readFromMemory, &openError_);
    }
    ~GifReader()
    {
        if (gif_) {
            int error = 0;
            DGifCloseFile(gif_, &error);
        }
    }
    GifFileType *get() const { return gif_; }
    int openFailure() const
    {
        if (openError_ == D_GIF_ERR_NOT_GIF_FILE)
            return kNotGif;
        return source_.truncated ? kTruncated : kDamaged;
    }
    int failure() const { return source_.truncated ? kTruncated : kDamaged; }

private:
    MemoryReader source_;
    int openError_ = 0;
    GifFileType *gif_ = nullptr;
};

struct Transparency {
    int index = -1;
};

// Reads extension records up to the first picture; false on damage.
bool skipToImage(GifFileType *gif, Transparency &transparency, bool &found)
{
    found = false;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) != GIF_OK)
            return false;
        if (type == TERMINATE_RECORD_TYPE)
            return true;
        if (type == IMAGE_DESC_RECORD_TYPE) {
            found = true;
            return true;
        }
        if (type != EXTENSION_RECORD_TYPE)
            return false;
        int code = 0;
        GifByteType *ext = nullptr;
        if (DGifGetExtension(gif, &code, &ext) != GIF_OK)
            return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
            transparency.index = (ext[1] & 1) ? ext[4] : -1;
        while (ext) {
            if (DGifGetExtensionNext(gif, &ext) != GIF_OK)
                return false;
        }
    }
}

} // namespace

int readGif(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    if (size < 3 || std::memcmp(data, "GIF", 3) != 0)
        return kNotGif;
    GifReader reader(data, size);
    GifFileType *gif = reader.get();
    if (!gif)
        return reader.openFailure();
    // The logical screen alone can claim a picture no memory holds.
    if (gif->SWidth > 0 && gif->SHeight > 0) {
        if (const int rc = checkPictureSize(uint64_t(gif->SWidth), uint64_t(gif->SHeight)); rc != kOk)
            return rc;
    }
    Transparency transparency;
    bool found = false;
    if (!skipToImage(gif, transparency, found))
        return reader.failure();
    if (!found)
        return kDamaged;
    if (DGifGetImageDesc(gif) != GIF_OK)
        return reader.failure();
    const GifImageDesc &frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0)
        return kDamaged;
    const int width = std::max<int>(gif->SWidth, frame.Left + frame.Width);
    const int height = std::max<int>(gif->SHeight, frame.Top + frame.Height);
    if (const int rc = checkPictureSize(uint64_t(width), uint64_t(height)); rc != kOk)
        return rc;

    const ColorMapObject *map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    Palette filePalette;
    if (map && map->Colors) {
        for (int i = 0; i < map->ColorCount && i < 256; ++i)
            filePalette.push_back(Rgb{map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
    } else {
        for (int i = 0; i < 256; ++i)
            filePalette.push_back(Rgb{uint8_t(i), uint8_t(i), uint8_t(i)});
    }
    // Transparent pixels and the screen outside the frame show white: the
    // transparent entry becomes white, or a white entry is added for them.
    int clearIndex = -1;
    if (transparency.index >= 0) {
        if (size_t(transparency.index) >= filePalette.size())
            filePalette.resize(size_t(transparency.index) + 1);
        filePalette[size_t(transparency.index)] = Rgb{255, 255, 255};
        clearIndex = transparency.index;
    }
    const bool uncovered = width > frame.Width || height > frame.Height;
    if (uncovered && clearIndex < 0) {
        const auto white = std::find(filePalette.begin(), filePalette.end(), Rgb{255, 255, 255});
        if (white != filePalette.end()) {
            clearIndex = int(white - filePalette.begin());
        } else if (filePalette.size() < 256) {
            clearIndex = int(filePalette.size());
            filePalette.push_back(Rgb{255, 255, 255});
        } else {
            clearIndex = 0;
        }
    }
    filePalette.resize(256);

    int rc = Image::create(width, height, 8, image);
    if (rc != kOk)
        return rc;
    if (clearIndex > 0)
        for (int y = 0; y < height; ++y)
            std::memset(image.row(y), clearIndex, size_t(width));
    std::vector<GifPixelType> line(size_t(frame.Width));
    ProgressReporter progress(options.progress);
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    int done = 0;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.Interlace ? kStart[pass] : 0;
        const int step = frame.Interlace ? kStep[pass] : 1;
        for (int y = start; y < frame.Height; y += step) {
            if (DGifGetLine(gif, line.data(), frame.Width) != GIF_OK) {
                image.clear();
                return reader.failure();
            }
            uint8_t *dst = image.row(frame.Top + y) + frame.Left;
            for (int x = 0; x < frame.Width; ++x)
                dst[x] = line[size_t(x)];
            if (!progress.report(uint64_t(++done), uint64_t(frame.Height))) {
                image.clear();
                return kStopped;
            }
        }
    }
    return finishRead(image, palette, std::move(filePalette), options);
}

int infoGif(const uint8_t *data, size_t size, FileInfo &info)
{
    if (size < 6 || std::memcmp(data, "GIF", 3) != 0)
        return kNotGif;
    GifReader reader(data, size);
    GifFileType *gif = reader.get();
    if (!gif)
        return reader.openFailure();
    info.type = "GIF";
    info.width = gif->SWidth;
    info.height = gif->SHeight;
    info.bitsPerPixel = gif->SColorMap ? gif->SColorMap->BitsPerPixel : 8;
    info.paletteColours = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
    info.format = std::string("GIF ") + std::string(reinterpret_cast<const char *>(data) + 3, 3);
    // Counts the pictures by skipping each one's coded data.
    int pictures = 0;
    bool interlaced = false;
    for (;;) {
        Transparency unused;
        bool found = false;
        if (!skipToImage(gif, unused, found) || !found)
            break;
        if (DGifGetImageDesc(gif) != GIF_OK)
            break;
        if (pictures == 0) {
            interlaced = gif->Image.Interlace;
            if (!gif->SColorMap && gif->Image.ColorMap) {
                info.bitsPerPixel = gif->Image.ColorMap->BitsPerPixel;
                info.paletteColours = gif->Image.ColorMap->ColorCount;
            }
        }
        ++pictures;
        int codeSize = 0;
        GifByteType *block = nullptr;
        if (DGifGetCode(gif, &codeSize, &block) != GIF_OK)
            break;
        bool damaged = false;
        while (block) {
            if (DGifGetCodeNext(gif, &block) != GIF_OK) {
                damaged = true;
                break;
            }
        }
        if (damaged || pictures >= 32767)
            break;
    }
    info.pictures = std::max(pictures, 1);
    if (interlaced)
        info.format += " interlaced";
    return kOk;
}

namespace {

int writeToFile(GifFileType *gif, const GifByteType *data, int length)
{
    auto *file = static_cast<OutputFile *>(gif->UserData);
    return file->write(data, size_t(length)) ? length : 0;
}

} // namespace

int writeGif(const std::string &path, int depth, const Image &image, const Palette &palette, const Progress *progress)
{
    if (image.empty())
        return kNoPicture;
    if (!isDepthCode(depth))
        return kBadDepth;
    if (image.width() > 65535 || image.height() > 65535)
        return kTooLarge;
    const int bits = depth == 0 ? 4 : depth == 24 ? 8 : depth;
    const int asked = depth == 24 ? 8 : depth;
    WriteSource source;
    if (const int rc = prepareWrite(image, palette, asked, source); rc != kOk)
        return rc;
    const Image *img = source.image;
    const Palette *pal = source.palette;
    const int colours = 1 << bits;
    std::vector<GifColorType> entries(size_t(colours), GifColorType{0, 0, 0});
    for (size_t i = 0; i < pal->size() && i < size_t(colours); ++i)
        entries[i] = GifColorType{(*pal)[i].r, (*pal)[i].g, (*pal)[i].b};

    OutputFile file(path);
    if (!file.isOpen())
        return kCannotWrite;
    int error = 0;
    GifFileType *gif = EGifOpen(&file, writeToFile, &error);
    if (!gif)
        return kCannotWrite;
    ColorMapObject *map = GifMakeMapObject(colours, entries.data());
    bool ok = map && EGifPutScreenDesc(gif, img->width(), img->height(), bits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, img->width(), img->height(), false, nullptr) == GIF_OK;
    GifFreeMapObject(map);
    std::vector<GifPixelType> line(size_t(img->width()));
    ProgressReporter reporter(progress);
    bool stopped = false;
    for (int y = 0; ok && y < img->height(); ++y) {
        for (int x = 0; x < img->width(); ++x)
            line[size_t(x)] = GifPixelType(img->index(x, y));
        ok = EGifPutLine(gif, line.data(), img->width()) == GIF_OK;
        if (ok && !reporter.report(uint64_t(y) + 1, uint64_t(img->height())))
            stopped = true, ok = false;
    }
    if (EGifCloseFile(gif, &error) != GIF_OK)
        ok = false;
    if (stopped)
        return kStopped;
    return ok && file.commit() ? kOk : kCannotWrite;
}

} // namespace brisvale::codec
