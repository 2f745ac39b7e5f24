#include "imaging/codec/Gif.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/ColourSpace.h"
#include "imaging/codec/FileIO.h"
#include "imaging/codec/Status.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include <gif_lib.h>

namespace brisvale::codec {

namespace {

struct SourceReader {
    ByteSource *source;
    uint64_t pos;
    bool truncated;
};

int readFromSource(GifFileType *gif, GifByteType *out, int length)
{
    auto *r = static_cast<SourceReader *>(gif->UserData);
    if (length <= 0)
        return 0;
    const size_t n = r->source->read(r->pos, out, size_t(length));
    if (n < size_t(length))
        r->truncated = true;
    r->pos += n;
    return int(n);
}

class GifReader {
public:
    explicit GifReader(ByteSource &source) : source_{&source, 0, false}
    {
        gif_ = DGifOpen(&source_, readFromSource, &openError_);
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
    bool truncated() const { return source_.truncated; }
    // Where giflib has read up to.
    uint64_t position() const { return source_.pos; }

private:
    SourceReader source_;
    int openError_ = 0;
    GifFileType *gif_ = nullptr;
};

struct Transparency {
    int index = -1;
    std::vector<uint8_t> profile; // an ICC profile's application extension
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
        const bool profile = code == APPLICATION_EXT_FUNC_CODE && ext && ext[0] == 11
                             && std::memcmp(ext + 1, "ICCRGBG1012", 11) == 0;
        if (profile)
            transparency.profile.clear();
        while (ext) {
            if (DGifGetExtensionNext(gif, &ext) != GIF_OK)
                return false;
            if (profile && ext && transparency.profile.size() < (size_t(16) << 20))
                transparency.profile.insert(transparency.profile.end(), ext + 1, ext + 1 + ext[0]);
        }
    }
}

// The picture's LZW data, decoded here rather than by giflib: giflib refuses
// a starting code size above 8, which 12-bit codes allow and other readers
// take (such a table fills at once and goes on without a clear code). A full
// table is kept as it is until the next clear code.
class LzwDecoder {
public:
    // `pos` is where the sub-blocks start, just after the code size byte.
    LzwDecoder(ByteSource &source, uint64_t pos) : in_(source, pos) {}

    // Takes the code size; false when it is not one a table of 12-bit codes can start from.
    bool start(int codeSize)
    {
        // Eleven bits leave room for one code of twelve; pixels still index at
        // most 256 colours.
        if (codeSize < 1 || codeSize > 11)
            return false;
        minSize_ = codeSize;
        clear_ = 1 << minSize_;
        for (int i = 0; i < clear_; ++i)
            first_[size_t(i)] = uint8_t(i);
        reset();
        return true;
    }

    // The next `width` pixels; false when the data is damaged or ends early.
    bool readRow(uint8_t *out, int width)
    {
        for (int x = 0; x < width;) {
            if (pending_ > 0) {
                out[x++] = stack_[--pending_];
                continue;
            }
            if (!decodeNext())
                return false;
        }
        return true;
    }

    // True when the file itself failed (cut short), not the code stream.
    bool inputFailed() const { return !input_; }

private:
    void reset()
    {
        codeSize_ = minSize_ + 1;
        next_ = clear_ + 2;
        previous_ = -1;
    }

    // The next code, or -1 at the end of the data.
    int readCode()
    {
        while (bits_ < codeSize_) {
            if (left_ == 0) {
                if (ended_)
                    return -1;
                const int length = in_.next();
                if (length < 0) {
                    input_ = false;
                    return -1;
                }
                left_ = size_t(length);
                if (left_ == 0) {
                    ended_ = true;
                    return -1;
                }
                continue;
            }
            const int byte = in_.next();
            if (byte < 0) {
                input_ = false;
                return -1;
            }
            buffer_ |= uint32_t(byte) << bits_;
            --left_;
            bits_ += 8;
        }
        const int code = int(buffer_ & ((1u << codeSize_) - 1));
        buffer_ >>= codeSize_;
        bits_ -= codeSize_;
        return code;
    }

    // Puts the pixels of the next code on the stack; false at the end or on damage.
    bool decodeNext()
    {
        for (;;) {
            const int code = readCode();
            if (code < 0 || code == clear_ + 1)
                return false;
            if (code == clear_) {
                reset();
                continue;
            }
            int walk = code;
            uint8_t tail = 0;
            if (previous_ < 0) {
                if (code >= clear_)
                    return false;
            } else if (code >= next_) {
                // The one code not yet in the table: the previous string and its own first pixel.
                if (code != next_ || next_ >= kCodes)
                    return false;
                walk = previous_;
                tail = first_[size_t(previous_)];
                stack_[pending_++] = tail;
            }
            while (walk >= clear_) {
                stack_[pending_++] = suffix_[size_t(walk)];
                walk = prefix_[size_t(walk)];
            }
            if (walk > 255)
                return false;
            stack_[pending_++] = uint8_t(walk);
            if (previous_ >= 0 && next_ < kCodes) {
                // A full table stays as it is until a clear code.
                prefix_[size_t(next_)] = uint16_t(previous_);
                suffix_[size_t(next_)] = uint8_t(walk);
                first_[size_t(next_)] = first_[size_t(previous_)];
                if (++next_ == (1 << codeSize_) && codeSize_ < 12)
                    ++codeSize_;
            }
            previous_ = code;
            return true;
        }
    }

    static constexpr int kCodes = 4096;
    ByteCursor in_;
    size_t left_ = 0; // bytes left in the current sub-block
    bool ended_ = false;
    uint32_t buffer_ = 0;
    int bits_ = 0;
    int minSize_ = 0, clear_ = 0, codeSize_ = 0, next_ = 0, previous_ = -1;
    bool input_ = true;
    std::array<uint16_t, kCodes> prefix_{};
    std::array<uint8_t, kCodes> suffix_{};
    std::array<uint8_t, kCodes> first_{};
    std::array<uint8_t, kCodes + 1> stack_{};
    int pending_ = 0;
};

// A plain frame's rows from the top, each with the screen around it.
int streamRows(ByteSource &source, uint64_t codeSizeAt, const GifImageDesc &frame, int height, int clearIndex,
               RowFeed &feed, const Palette &filePalette, const ReadOptions &options)
{
    ProgressReporter progress(options.progress);
    LzwDecoder lzw(source, codeSizeAt + 1);
    if (!lzw.start(source.byteAt(codeSizeAt)))
        return kDamaged;
    Image &row = feed.image();
    for (int y = 0; y < height; ++y) {
        std::memset(row.row(0), std::max(clearIndex, 0), size_t(row.width()));
        if (y >= frame.Top && y < frame.Top + frame.Height) {
            if (!lzw.readRow(row.row(0) + frame.Left, frame.Width))
                return lzw.inputFailed() ? kTruncated : kDamaged;
            if (!progress.report(uint64_t(y - frame.Top) + 1, uint64_t(frame.Height)))
                return kStopped;
        }
        feed.done(filePalette);
    }
    return kOk;
}

} // namespace

int readGifSource(ByteSource &source, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    const uint8_t *magic = source.at(0, 3);
    if (!magic || std::memcmp(magic, "GIF", 3) != 0)
        return kNotGif;
    GifReader reader(source);
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
    const auto tagged = [&](int rc) {
        if (succeeded(rc))
            if (ColourSpacePtr colour = ColourSpace::fromIcc(transparency.profile.data(), transparency.profile.size());
                colour && colour->model() == ColourSpace::Model::Rgb)
                image.setColour(std::move(colour));
        return rc;
    };
    // giflib stops at a code size above 8 (a table of 12-bit codes may start
    // from 11) once the descriptor is read; the data is decoded here anyway.
    if (DGifGetImageDesc(gif) != GIF_OK
        && (reader.truncated() || gif->Error != D_GIF_ERR_READ_FAILED || reader.position() == 0
            || source.byteAt(reader.position() - 1) <= 8))
        return reader.failure();
    const uint64_t codeSizeAt = reader.position() - 1;
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

    // Interlaced rows come in four passes, so only a plain frame streams.
    RowFeed feed;
    int rc = feed.begin(options, width, height, 8, image, !frame.Interlace);
    if (rc != kOk)
        return rc;
    if (feed.streaming()) {
        rc = streamRows(source, codeSizeAt, frame, height, clearIndex, feed, filePalette, options);
        if (rc != kOk)
            return rc;
        return tagged(feed.finish(image, palette, std::move(filePalette), options));
    }
    if (clearIndex > 0)
        for (int y = 0; y < height; ++y)
            std::memset(image.row(y), clearIndex, size_t(width));
    // Rows in the order the data gives them.
    std::vector<int> rows;
    rows.reserve(size_t(frame.Height));
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < (frame.Interlace ? 4 : 1); ++pass)
        for (int y = frame.Interlace ? kStart[pass] : 0; y < frame.Height; y += frame.Interlace ? kStep[pass] : 1)
            rows.push_back(frame.Top + y);
    ProgressReporter progress(options.progress);
    LzwDecoder lzw(source, codeSizeAt + 1);
    if (!lzw.start(source.byteAt(codeSizeAt))) {
        image.clear();
        return kDamaged;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!lzw.readRow(image.row(rows[i]) + frame.Left, frame.Width)) {
            image.clear();
            return lzw.inputFailed() ? kTruncated : kDamaged;
        }
        if (!progress.report(uint64_t(i) + 1, uint64_t(rows.size()))) {
            image.clear();
            return kStopped;
        }
    }
    return tagged(feed.finish(image, palette, std::move(filePalette), options));
}

int readGif(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    ByteSource source(data, size);
    return readGifSource(source, options, image, palette);
}

int infoGif(const uint8_t *data, size_t size, FileInfo &info)
{
    ByteSource source(data, size);
    return infoGifSource(source, info);
}

int infoGifSource(ByteSource &source, FileInfo &info)
{
    const uint8_t *head = source.at(0, 6);
    if (!head || std::memcmp(head, "GIF", 3) != 0)
        return kNotGif;
    const std::string version(reinterpret_cast<const char *>(head) + 3, 3);
    GifReader reader(source);
    GifFileType *gif = reader.get();
    if (!gif)
        return reader.openFailure();
    info.type = "GIF";
    info.width = gif->SWidth;
    info.height = gif->SHeight;
    info.bitsPerPixel = gif->SColorMap ? gif->SColorMap->BitsPerPixel : 8;
    info.paletteColours = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
    info.format = "GIF " + version;
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
    bool ok = map && EGifPutScreenDesc(gif, img->width(), img->height(), bits, 0, map) == GIF_OK
              && EGifPutImageDesc(gif, 0, 0, img->width(), img->height(), false, nullptr) == GIF_OK;
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
