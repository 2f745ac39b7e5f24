#include "imaging/codec/Avif.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/ColourSpace.h"
#include "imaging/codec/IsoBoxes.h"
#include "imaging/codec/PagesBehind.h"
#include "imaging/codec/Status.h"
#include "imaging/codec/Transform.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <avif/avif.h>

namespace brisvale::codec {

namespace {

int statusOf(avifResult result)
{
    switch (result) {
    case AVIF_RESULT_OK: return kOk;
    case AVIF_RESULT_INVALID_FTYP: return kNotAvif;
    case AVIF_RESULT_TRUNCATED_DATA: return kTruncated;
    case AVIF_RESULT_OUT_OF_MEMORY: return kOutOfMemory;
    case AVIF_RESULT_UNSUPPORTED_DEPTH:
    case AVIF_RESULT_NO_CODEC_AVAILABLE:
    case AVIF_RESULT_NOT_IMPLEMENTED: return kUnsupported;
    default: break;
    }
    return kDamaged;
}

uint64_t be32(const uint8_t *p)
{
    return (uint64_t(p[0]) << 24) | (uint64_t(p[1]) << 16) | (uint64_t(p[2]) << 8) | p[3];
}

// Every picture size the header declares ('ispe' properties in the top-level
// 'meta' box), held to the limit before the library sets anything up: past
// its own cap it would only call the file damaged.
int checkDeclaredSizes(const std::vector<uint8_t> &metaBytes)
{
    static const uint8_t kIspe[] = {0, 0, 0, 20, 'i', 's', 'p', 'e'};
    const uint8_t *meta = metaBytes.data();
    for (size_t i = 8; i + 20 <= metaBytes.size(); ++i) {
        if (std::memcmp(meta + i, kIspe, sizeof kIspe) != 0)
            continue;
        if (const int rc = checkPictureSize(be32(meta + i + 12), be32(meta + i + 16)); rc == kTooLarge)
            return rc;
    }
    return kOk; // the parse tells what else is wrong
}

// The parse's status, telling a file cut short from a damaged one.
int parseStatus(avifResult result, ByteSource &file)
{
    const int rc = statusOf(result);
    return rc == kDamaged && cutShort(file) ? kTruncated : rc;
}

bool isAvif(ByteSource &file)
{
    const std::vector<uint8_t> bytes = fileHead(file);
    const avifROData head{bytes.data(), bytes.size()};
    return bytes.size() >= 12 && avifPeekCompatibleFileType(&head);
}

// The file's bytes as the decoder asks for them, each read bounded: a file
// cut short while it is read gives the decoder fewer bytes, never a fault.
struct SourceIO {
    avifIO io{};
    ByteSource *file = nullptr;
};

avifResult readSource(avifIO *io, uint32_t flags, uint64_t offset, size_t size, avifROData *out)
{
    ByteSource &file = *reinterpret_cast<SourceIO *>(io)->file;
    if (flags != 0 || offset > file.size())
        return AVIF_RESULT_IO_ERROR;
    static const uint8_t kNothing = 0;
    *out = {&kNothing, 0};
    // Asked again after a short read: the file is shorter now than it was.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const size_t n = size_t(std::min<uint64_t>(size, file.left(offset)));
        if (n == 0)
            return offset > file.size() ? AVIF_RESULT_IO_ERROR : AVIF_RESULT_OK;
        if (const uint8_t *p = file.at(offset, n)) {
            *out = {p, n};
            return AVIF_RESULT_OK;
        }
    }
    return AVIF_RESULT_IO_ERROR;
}

void destroySource(avifIO *io) { delete reinterpret_cast<SourceIO *>(io); }

struct Decoder {
    avifDecoder *d = avifDecoderCreate();
    explicit Decoder(ByteSource &file)
    {
        if (!d)
            return;
        // Pictures from phones and cameras are not always written to the
        // letter; what can be shown is shown.
        d->strictFlags = AVIF_STRICT_DISABLED;
        d->ignoreExif = AVIF_TRUE;
        d->ignoreXMP = AVIF_TRUE;
        // The program's own limit decides from the header, with its own
        // words; the library's is set to it once the header has passed.
        d->imageDimensionLimit = 0;
        d->imageSizeLimit = AVIF_DEFAULT_IMAGE_SIZE_LIMIT;
        d->maxThreads = int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
        auto *io = new SourceIO;
        io->io.destroy = destroySource;
        io->io.read = readSource;
        io->io.sizeHint = file.size();
        io->io.persistent = AVIF_FALSE;
        io->file = &file;
        avifDecoderSetIO(d, &io->io); // the decoder owns it from here
    }
    ~Decoder()
    {
        if (d)
            avifDecoderDestroy(d);
    }
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;
};

// The EXIF orientation that does what the file's turn and mirror ask: the
// turn (anticlockwise quarters) comes first, then the mirror.
int orientationOf(const avifImage &image)
{
    const int turn = (image.transformFlags & AVIF_TRANSFORM_IROT) ? image.irot.angle & 3 : 0;
    const int mirror = (image.transformFlags & AVIF_TRANSFORM_IMIR) ? image.imir.mode & 1 : -1;
    // Indexed by turn, then by no mirror, top-bottom, left-right.
    static const int kOrientation[4][3] = {{1, 4, 2}, {8, 5, 7}, {3, 2, 4}, {6, 7, 5}};
    return kOrientation[turn][mirror + 1];
}

// The part of the picture its clean aperture ('clap') keeps, worked out as
// libheif works it out for HEIC, so both kinds show the same part; false
// when the file asks for no crop, or for one that keeps nothing.
bool cropOf(const avifImage &image, avifCropRect &rect)
{
    if (!(image.transformFlags & AVIF_TRANSFORM_CLAP))
        return false;
    const avifCleanApertureBox &clap = image.clap;
    if (clap.widthD == 0 || clap.heightD == 0 || clap.horizOffD == 0 || clap.vertOffD == 0)
        return false;
    // The offsets' numerators are signed.
    const auto fraction = [](uint32_t n, uint32_t d, bool sign) {
        return (sign ? double(int32_t(n)) : double(n)) / double(d);
    };
    const auto round = [](double v) { return std::floor(v + 0.5); };
    const double clapWidth = fraction(clap.widthN, clap.widthD, false);
    const double clapHeight = fraction(clap.heightN, clap.heightD, false);
    double left = std::floor(fraction(clap.horizOffN, clap.horizOffD, true) + (image.width - 1) / 2.0
                             - (clapWidth - 1) / 2);
    double right = round(clapWidth - 1 + left);
    double top = round(fraction(clap.vertOffN, clap.vertOffD, true) + (image.height - 1) / 2.0 - (clapHeight - 1) / 2);
    double bottom = round(clapHeight - 1 + top);
    left = std::max(left, 0.0);
    top = std::max(top, 0.0);
    right = std::min(right, double(image.width) - 1);
    bottom = std::min(bottom, double(image.height) - 1);
    if (!(left <= right && top <= bottom))
        return false;
    rect = {uint32_t(left), uint32_t(top), uint32_t(right - left + 1), uint32_t(bottom - top + 1)};
    return rect.width != image.width || rect.height != image.height;
}

struct View {
    avifImage *image = avifImageCreateEmpty();
    ~View()
    {
        if (image)
            avifImageDestroy(image);
    }
    View() = default;
    View(const View &) = delete;
    View &operator=(const View &) = delete;
};

// Converts the decoded frame into the picture's rows. Where no chroma is
// brought up to size (4:4:4, grey) a band of rows at a time, with the
// frame's rows handed back as they are used up, so that the frame and the
// picture are never whole at once: the decoder reads a still picture's
// frame no more once it is out.
int toBgr(const avifImage &source, Image &image, ProgressReporter &progress)
{
    const bool banded = source.yuvFormat == AVIF_PIXEL_FORMAT_YUV444 || source.yuvFormat == AVIF_PIXEL_FORMAT_YUV400;
    const uint32_t band = banded ? 256 : source.height;
    PagesBehind planes[3] = {PagesBehind(source.yuvPlanes[0]), PagesBehind(source.yuvPlanes[1]),
                             PagesBehind(source.yuvPlanes[2])};
    for (uint32_t y = 0; y < source.height; y += band) {
        const avifCropRect rect{0, y, source.width, std::min(band, source.height - y)};
        const View view;
        if (!view.image)
            return kOutOfMemory;
        if (avifImageSetViewRect(view.image, &source, &rect) != AVIF_RESULT_OK)
            return kUnsupported;
        avifRGBImage rgb;
        avifRGBImageSetDefaults(&rgb, view.image);
        rgb.depth = 8;
        rgb.format = AVIF_RGB_FORMAT_BGR;
        rgb.pixels = image.row(int(y));
        rgb.rowBytes = uint32_t(image.stride());
        // Without a channel of its own for alpha the conversion hands the
        // colours over as laid on black; asked for so, whatever the file holds.
        rgb.alphaPremultiplied = AVIF_TRUE;
        if (const int rc = statusOf(avifImageYUVToRGB(view.image, &rgb)); rc != kOk)
            return rc == kDamaged ? kUnsupported : rc;
        const uint32_t done = y + rect.height;
        for (int c = 0; c < 3 && banded; ++c)
            planes[c].release(size_t(done) * source.yuvRowBytes[c]);
        if (!progress.report(done, uint64_t(source.height) * (source.alphaPlane ? 2 : 1)))
            return kStopped;
    }
    return kOk;
}

// Lays colours that were laid on black on white instead, by the alpha plane
// brought to 8 bits.
bool layOnWhite(const avifImage &source, Image &out, ProgressReporter &progress)
{
    const uint32_t top = (1u << source.depth) - 1;
    for (uint32_t y = 0; y < source.height; ++y) {
        const uint8_t *alpha = source.alphaPlane + size_t(y) * source.alphaRowBytes;
        uint8_t *dst = out.row(int(y));
        for (uint32_t x = 0; x < source.width; ++x) {
            uint32_t a = source.depth > 8 ? reinterpret_cast<const uint16_t *>(alpha)[x] : alpha[x];
            a = (std::min(a, top) * 255 + top / 2) / top;
            for (int k = 0; k < 3; ++k) {
                uint8_t &c = dst[3 * x + k];
                c = uint8_t(std::min<uint32_t>(255, c + 255 - a));
            }
        }
        if (!progress.report(source.height + y + 1, uint64_t(source.height) * 2))
            return false;
    }
    return true;
}

} // namespace

int readAvifSource(ByteSource &file, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    if (!isAvif(file))
        return kNotAvif;
    std::vector<uint8_t> meta;
    if (const int rc = readMetaBox(file, meta); rc != kOk)
        return rc;
    if (const int rc = checkDeclaredSizes(meta); rc != kOk)
        return rc;
    Decoder dec(file);
    if (!dec.d)
        return kOutOfMemory;
    if (const int rc = parseStatus(avifDecoderParse(dec.d), file); rc != kOk)
        return rc;
    if (const int rc = checkPictureSize(dec.d->image->width, dec.d->image->height); rc != kOk)
        return rc;
    // The AV1 stream may claim another size than the header; the decoder
    // holds it to the limit too.
    dec.d->imageSizeLimit = uint32_t(std::clamp<uint64_t>(limits().maxPixels, 1, UINT32_MAX));
    if (const int rc = parseStatus(avifDecoderNextImage(dec.d), file); rc != kOk)
        return rc;
    const avifImage &source = *dec.d->image;
    if (const int rc = checkPictureSize(source.width, source.height); rc != kOk)
        return rc;
    if (source.depth != 8 && source.depth != 10 && source.depth != 12)
        return kUnsupported;
    // The conversion fills the whole picture at once: it is never streamed.
    // A cropped or turned picture is handed back whole, since a sink would be
    // promised the sides it had before.
    const int orientation = orientationOf(source);
    avifCropRect crop{};
    const bool cropped = cropOf(source, crop);
    ReadOptions feedOptions = options;
    if (orientation != 1 || cropped)
        feedOptions.sink = nullptr;
    RowFeed feed;
    if (const int rc = feed.begin(feedOptions, int(source.width), int(source.height), 24, image, false); rc != kOk)
        return rc;
    ProgressReporter progress(options.progress);
    if (const int rc = toBgr(source, image, progress); rc != kOk) {
        image.clear();
        return rc;
    }
    if (source.alphaPlane && !layOnWhite(source, image, progress)) {
        image.clear();
        return kStopped;
    }
    if (cropped && image.crop(int(crop.x), int(crop.y), int(crop.width), int(crop.height)) != kOk) {
        image.clear();
        return kDamaged;
    }
    if (orientation != 1) {
        if (const int rc = applyOrientation(image, orientation); rc != kOk) {
            image.clear();
            return rc;
        }
    }
    const int rc = feed.finish(image, palette, {}, feedOptions);
    // An ICC profile when the file has one, else its nclx code points.
    if (succeeded(rc))
        image.setColour(source.icc.size > 0
                            ? ColourSpace::fromIcc(source.icc.data, source.icc.size)
                            : ColourSpace::fromCicp({int(source.colorPrimaries), int(source.transferCharacteristics)}));
    if (image.colour() && image.colour()->model() != ColourSpace::Model::Rgb)
        image.setColour(nullptr);
    return rc;
}

int readAvif(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    ByteSource file(data, size);
    return readAvifSource(file, options, image, palette);
}

int infoAvifSource(ByteSource &file, FileInfo &info)
{
    if (!isAvif(file))
        return kNotAvif;
    Decoder dec(file);
    if (!dec.d)
        return kOutOfMemory;
    if (const int rc = parseStatus(avifDecoderParse(dec.d), file); rc != kOk)
        return rc;
    const avifImage &image = *dec.d->image;
    info.type = "AVIF";
    avifCropRect crop{0, 0, image.width, image.height};
    cropOf(image, crop);
    info.width = int(std::min<uint32_t>(crop.width, INT32_MAX));
    info.height = int(std::min<uint32_t>(crop.height, INT32_MAX));
    if (orientationOf(image) >= 5)
        std::swap(info.width, info.height);
    const bool grey = image.yuvFormat == AVIF_PIXEL_FORMAT_YUV400;
    info.bitsPerPixel = int(image.depth) * ((grey ? 1 : 3) + (dec.d->alphaPresent ? 1 : 0));
    info.paletteColours = 0;
    info.pictures = dec.d->imageCount;
    info.format = "AVIF " + std::to_string(image.depth) + "-bit " + avifPixelFormatToString(image.yuvFormat);
    if (dec.d->alphaPresent)
        info.format += " alpha";
    return kOk;
}

int infoAvif(const uint8_t *data, size_t size, FileInfo &info)
{
    ByteSource file(data, size);
    return infoAvifSource(file, info);
}

} // namespace brisvale::codec
