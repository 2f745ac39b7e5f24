#include "imaging/codec/Webp.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/ColourSpace.h"
#include "imaging/codec/FileIO.h"
#include "imaging/codec/Status.h"
#include "imaging/codec/Transform.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

#include <webp/decode.h>
#include <webp/demux.h>

namespace brisvale::codec {

namespace {

bool isWebp(const uint8_t *data, size_t size)
{
    return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0;
}

struct Demuxer {
    WebPDemuxer *demux = nullptr;
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    Demuxer(const uint8_t *data, size_t size)
    {
        const WebPData whole{data, size};
        demux = WebPDemuxPartial(&whole, &state);
    }
    ~Demuxer() { WebPDemuxDelete(demux); }
    Demuxer(const Demuxer &) = delete;
    Demuxer &operator=(const Demuxer &) = delete;
    // kOk once the headers are all there and sound.
    int status() const
    {
        if (!demux || state == WEBP_DEMUX_PARSE_ERROR)
            return kDamaged;
        return state == WEBP_DEMUX_DONE ? kOk : kTruncated;
    }
};

struct Frame {
    WebPIterator iter{};
    bool found = false;
    explicit Frame(const WebPDemuxer *demux) { found = WebPDemuxGetFrame(demux, 1, &iter) != 0; }
    ~Frame() { WebPDemuxReleaseIterator(&iter); }
    Frame(const Frame &) = delete;
    Frame &operator=(const Frame &) = delete;
};

uint16_t get16(const uint8_t *p, bool big) { return big ? uint16_t((p[0] << 8) | p[1]) : uint16_t(p[0] | (p[1] << 8)); }
uint32_t get32(const uint8_t *p, bool big)
{
    return big ? (uint32_t(get16(p, true)) << 16) | get16(p + 2, true)
               : get16(p, false) | (uint32_t(get16(p + 2, false)) << 16);
}

// The orientation tag of the EXIF chunk's first directory, or 1.
int exifOrientation(const WebPDemuxer *demux)
{
    WebPChunkIterator chunk{};
    int orientation = 1;
    if (WebPDemuxGetChunk(demux, "EXIF", 1, &chunk)) {
        const uint8_t *t = chunk.chunk.bytes;
        size_t n = chunk.chunk.size;
        // Some writers keep the JPEG segment's own prefix.
        if (n >= 6 && std::memcmp(t, "Exif\0\0", 6) == 0) {
            t += 6;
            n -= 6;
        }
        const bool big = n >= 8 && t[0] == 'M' && t[1] == 'M';
        if (n >= 8 && (big || (t[0] == 'I' && t[1] == 'I'))) {
            const uint32_t ifd = get32(t + 4, big);
            if (ifd <= n - 2) {
                const uint32_t entries = get16(t + ifd, big);
                for (uint32_t i = 0; i < entries; ++i) {
                    const uint64_t at = uint64_t(ifd) + 2 + uint64_t(i) * 12;
                    if (at + 12 > n)
                        break;
                    if (get16(t + at, big) == 0x0112) {
                        const int v = get16(t + at + 8, big);
                        if (v >= 1 && v <= 8)
                            orientation = v;
                        break;
                    }
                }
            }
        }
    }
    WebPDemuxReleaseChunkIterator(&chunk);
    return orientation;
}

// The ICCP chunk's profile, when the file has one.
ColourSpacePtr embeddedProfile(const WebPDemuxer *demux)
{
    ColourSpacePtr colour;
    WebPChunkIterator chunk{};
    if ((WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & ICCP_FLAG) && WebPDemuxGetChunk(demux, "ICCP", 1, &chunk))
        colour = ColourSpace::fromIcc(chunk.chunk.bytes, chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
    if (colour && colour->model() != ColourSpace::Model::Rgb)
        colour.reset();
    return colour;
}

int statusOf(VP8StatusCode code)
{
    switch (code) {
    case VP8_STATUS_OK: return kOk;
    case VP8_STATUS_OUT_OF_MEMORY: return kOutOfMemory;
    case VP8_STATUS_UNSUPPORTED_FEATURE: return kUnsupported;
    case VP8_STATUS_NOT_ENOUGH_DATA: return kTruncated;
    default: break;
    }
    return kDamaged;
}

// The decoded frame with its alpha, in pages handed back to the system as
// its rows are laid on the picture, so both are never whole at once.
class Scratch {
public:
    Scratch() = default;
    ~Scratch()
    {
        if (data_)
            ::munmap(data_, size_);
    }
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;
    bool allocate(size_t size)
    {
        void *p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            return false;
        data_ = static_cast<uint8_t *>(p);
        size_ = size;
        return true;
    }
    uint8_t *data() const { return data_; }
    // Everything before `offset` is no longer needed.
    void releaseBefore(size_t offset)
    {
        static const size_t page = size_t(::sysconf(_SC_PAGESIZE));
        const size_t end = offset / page * page;
        if (end > released_ + (size_t(4) << 20)) {
            ::madvise(data_ + released_, end - released_, MADV_DONTNEED);
            released_ = end;
        }
    }

private:
    uint8_t *data_ = nullptr;
    size_t size_ = 0;
    size_t released_ = 0;
};

inline uint8_t overWhite(uint8_t c, uint8_t a) { return uint8_t((c * a + 255 * (255 - a) + 127) / 255); }

int decodeInto(const WebPData &fragment, WEBP_CSP_MODE mode, uint8_t *out, int stride, size_t size)
{
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        return kFailed;
    // Filtering runs beside the decoding on a second core.
    config.options.use_threads = 1;
    config.output.colorspace = mode;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = out;
    config.output.u.RGBA.stride = stride;
    config.output.u.RGBA.size = size;
    const int rc = statusOf(WebPDecode(fragment.bytes, fragment.size, &config));
    WebPFreeDecBuffer(&config.output);
    return rc;
}

// Decodes a frame as large as the canvas into the picture's own buffer.
int decodeWhole(const WebPIterator &it, Image &out, ProgressReporter &progress)
{
    if (!it.has_alpha) {
        const int rc = decodeInto(it.fragment, MODE_BGR, out.data(), int(out.stride()), out.byteSize());
        return rc == kOk && !progress.report(1, 1) ? kStopped : rc;
    }
    const size_t wide = size_t(out.width()) * 4;
    const size_t bytes = wide * size_t(out.height());
    if (checkWorkBytes(uint64_t(out.width()) * uint64_t(out.height()), 4) != kOk)
        return kTooLarge;
    if (const int rc = out.makeRoom(bytes); rc != kOk)
        return rc;
    if (const int rc = decodeInto(it.fragment, MODE_BGRA, out.data(), int(wide), bytes); rc != kOk)
        return rc;
    // Each packed row starts at or before its wide one, and each pixel is
    // read whole before its three bytes are written.
    for (int y = 0; y < out.height(); ++y) {
        const uint8_t *src = out.data() + wide * size_t(y);
        uint8_t *dst = out.row(y);
        for (int x = 0; x < out.width(); ++x, src += 4, dst += 3) {
            const uint8_t b = src[0], g = src[1], r = src[2], a = src[3];
            dst[0] = overWhite(b, a);
            dst[1] = overWhite(g, a);
            dst[2] = overWhite(r, a);
        }
        if (!progress.report(uint64_t(y) + 1, uint64_t(out.height())))
            return kStopped;
    }
    out.fit();
    return kOk;
}

// The canvas an extended file declares, checked before anything else is
// parsed: the demuxer would call a canvas its frame does not fill damaged.
int checkCanvas(const uint8_t *data, size_t size)
{
    if (size < 30 || std::memcmp(data + 12, "VP8X", 4) != 0)
        return kOk;
    const uint64_t width = 1 + (uint64_t(data[24]) | (uint64_t(data[25]) << 8) | (uint64_t(data[26]) << 16));
    const uint64_t height = 1 + (uint64_t(data[27]) | (uint64_t(data[28]) << 8) | (uint64_t(data[29]) << 16));
    return checkPictureSize(width, height);
}

// The file's RIFF form read into memory, as far as its header says it goes
// (never the bytes after it), through bounded reads: a file cut short while
// it is read leaves fewer bytes, which the decoder calls truncated.
struct Loaded {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
};

int load(ByteSource &file, Loaded &out)
{
    const uint8_t *head = file.at(0, 12);
    if (!head || !isWebp(head, 12))
        return kNotWebp;
    const uint64_t length = std::min<uint64_t>(uint64_t(le32(head + 4)) + 8, file.size());
    // No picture within the limit takes more than this to store.
    if (checkWorkBytes(length, 1) != kOk)
        return kTooLarge;
    out.bytes.reset(new (std::nothrow) uint8_t[size_t(length)]);
    if (!out.bytes)
        return kOutOfMemory;
    out.size = file.read(0, out.bytes.get(), size_t(length));
    return kOk;
}

} // namespace

int readWebpSource(ByteSource &file, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    Loaded loaded;
    if (const int rc = load(file, loaded); rc != kOk)
        return rc;
    return readWebp(loaded.bytes.get(), loaded.size, options, image, palette);
}

int infoWebpSource(ByteSource &file, FileInfo &info)
{
    Loaded loaded;
    if (const int rc = load(file, loaded); rc != kOk)
        return rc;
    return infoWebp(loaded.bytes.get(), loaded.size, info);
}

int readWebp(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    if (!isWebp(data, size))
        return kNotWebp;
    if (const int rc = checkCanvas(data, size); rc != kOk)
        return rc;
    const Demuxer d(data, size);
    if (const int rc = d.status(); rc != kOk)
        return rc;
    const uint32_t width = WebPDemuxGetI(d.demux, WEBP_FF_CANVAS_WIDTH);
    const uint32_t height = WebPDemuxGetI(d.demux, WEBP_FF_CANVAS_HEIGHT);
    if (const int rc = checkPictureSize(width, height); rc != kOk)
        return rc;
    const Frame frame(d.demux);
    if (!frame.found || !frame.iter.complete)
        return frame.found ? kTruncated : kDamaged;
    const WebPIterator &it = frame.iter;
    if (it.width <= 0 || it.height <= 0 || it.x_offset < 0 || it.y_offset < 0
        || uint64_t(it.x_offset) + uint64_t(it.width) > width || uint64_t(it.y_offset) + uint64_t(it.height) > height)
        return kDamaged;
    const int orientation = exifOrientation(d.demux);

    // A turned picture is turned whole and handed back whole: the rows a
    // sink would be promised are not the rows it ends with.
    ReadOptions feedOptions = options;
    if (orientation != 1)
        feedOptions.sink = nullptr;
    RowFeed feed;
    if (const int rc = feed.begin(feedOptions, int(width), int(height), 24, image); rc != kOk)
        return rc;
    Image &out = feed.image();
    const bool wholeCanvas = it.x_offset == 0 && it.y_offset == 0 && uint32_t(it.width) == width
                             && uint32_t(it.height) == height;
    ProgressReporter progress(options.progress);
    if (!feed.streaming() && wholeCanvas) {
        // Straight into the picture's own rows: with alpha at four bytes a
        // pixel first, then packed down to three in place, on white.
        if (const int rc = decodeWhole(it, out, progress); rc != kOk) {
            image.clear();
            return rc;
        }
    } else {
        const int bytes = it.has_alpha ? 4 : 3;
        const size_t frameStride = size_t(it.width) * size_t(bytes);
        Scratch scratch;
        if (checkWorkBytes(uint64_t(it.width) * uint64_t(it.height), uint64_t(bytes)) != kOk) {
            image.clear();
            return kTooLarge;
        }
        if (!scratch.allocate(frameStride * size_t(it.height))) {
            image.clear();
            return kOutOfMemory;
        }
        if (const int rc = decodeInto(it.fragment, it.has_alpha ? MODE_BGRA : MODE_BGR, scratch.data(),
                                      int(frameStride), frameStride * size_t(it.height));
            rc != kOk) {
            image.clear();
            return rc;
        }
        // The canvas around the first frame starts transparent.
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t *dst = out.row(feed.line(int(y)));
            std::memset(dst, 255, size_t(width) * 3);
            const int fy = int(y) - it.y_offset;
            if (fy >= 0 && fy < it.height) {
                const uint8_t *src = scratch.data() + size_t(fy) * frameStride;
                uint8_t *at = dst + size_t(it.x_offset) * 3;
                if (bytes == 3) {
                    std::memcpy(at, src, size_t(it.width) * 3);
                } else {
                    for (int x = 0; x < it.width; ++x)
                        for (int k = 0; k < 3; ++k)
                            at[3 * x + k] = overWhite(src[4 * x + k], src[4 * x + 3]);
                }
                scratch.releaseBefore(size_t(fy + 1) * frameStride);
            }
            feed.done({});
            if (!progress.report(y + 1, height)) {
                image.clear();
                return kStopped;
            }
        }
    }
    if (!feed.streaming() && orientation != 1) {
        if (const int rc = applyOrientation(image, orientation); rc != kOk) {
            image.clear();
            return rc;
        }
    }
    const int rc = feed.finish(image, palette, {}, feedOptions);
    if (succeeded(rc))
        image.setColour(embeddedProfile(d.demux));
    return rc;
}

int infoWebp(const uint8_t *data, size_t size, FileInfo &info)
{
    if (!isWebp(data, size))
        return kNotWebp;
    const Demuxer d(data, size);
    if (const int rc = d.status(); rc != kOk)
        return rc;
    const Frame frame(d.demux);
    if (!frame.found)
        return kDamaged;
    const uint32_t flags = WebPDemuxGetI(d.demux, WEBP_FF_FORMAT_FLAGS);
    const int frames = int(WebPDemuxGetI(d.demux, WEBP_FF_FRAME_COUNT));
    info.type = "WEBP";
    info.width = int(WebPDemuxGetI(d.demux, WEBP_FF_CANVAS_WIDTH));
    info.height = int(WebPDemuxGetI(d.demux, WEBP_FF_CANVAS_HEIGHT));
    if (exifOrientation(d.demux) >= 5)
        std::swap(info.width, info.height);
    const bool alpha = frame.iter.has_alpha || (flags & ALPHA_FLAG);
    info.bitsPerPixel = alpha ? 32 : 24;
    info.paletteColours = 0;
    info.pictures = frames;
    WebPBitstreamFeatures features;
    const bool lossless = WebPGetFeatures(frame.iter.fragment.bytes, frame.iter.fragment.size, &features)
                              == VP8_STATUS_OK
                          && features.format == 2;
    info.format = (flags & ANIMATION_FLAG) ? "WebP animated" : lossless ? "WebP lossless" : "WebP lossy";
    if (alpha)
        info.format += " alpha";
    return kOk;
}

} // namespace brisvale::codec
