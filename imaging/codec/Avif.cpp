#include "imaging/codec/Avif.h"

#include "imaging/codec/ColourSpace.h"
#include "imaging/codec/IsoBoxes.h"
#include "imaging/codec/Status.h"
#include "imaging/codec/Transform.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

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
int checkDeclaredSizes(const uint8_t *data, size_t size)
{
    static const uint8_t kIspe[] = {0, 0, 0, 20, 'i', 's', 'p', 'e'};
    size_t length = 0;
    const uint8_t *meta = metaBox(data, size, length);
    for (size_t i = 8; meta && i + 20 <= length; ++i) {
        if (std::memcmp(meta + i, kIspe, sizeof kIspe) != 0)
            continue;
        if (const int rc = checkPictureSize(be32(meta + i + 12), be32(meta + i + 16)); rc == kTooLarge)
            return rc;
    }
    return kOk; // the parse tells what else is wrong
}

// The parse's status, telling a file cut short from a damaged one.
int parseStatus(avifResult result, const uint8_t *data, size_t size)
{
    const int rc = statusOf(result);
    return rc == kDamaged && cutShort(data, size) ? kTruncated : rc;
}

bool isAvif(const uint8_t *data, size_t size)
{
    const avifROData head{data, size};
    return size >= 12 && avifPeekCompatibleFileType(&head);
}

struct Decoder {
    avifDecoder *d = avifDecoderCreate();
    Decoder(const uint8_t *data, size_t size)
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
        avifDecoderSetIOMemory(d, data, size);
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

int readAvif(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    if (!isAvif(data, size))
        return kNotAvif;
    if (const int rc = checkDeclaredSizes(data, size); rc != kOk)
        return rc;
    Decoder dec(data, size);
    if (!dec.d)
        return kOutOfMemory;
    if (const int rc = parseStatus(avifDecoderParse(dec.d), data, size); rc != kOk)
        return rc;
    if (const int rc = checkPictureSize(dec.d->image->width, dec.d->image->height); rc != kOk)
        return rc;
    // The AV1 stream may claim another size than the header; the decoder
    // holds it to the limit too.
    dec.d->imageSizeLimit = uint32_t(std::clamp<uint64_t>(limits().maxPixels, 1, UINT32_MAX));
    if (const int rc = parseStatus(avifDecoderNextImage(dec.d), data, size); rc != kOk)
        return rc;
    const avifImage &source = *dec.d->image;
    if (const int rc = checkPictureSize(source.width, source.height); rc != kOk)
        return rc;
    if (source.depth != 8 && source.depth != 10 && source.depth != 12)
        return kUnsupported;
    // The conversion fills the whole picture at once: it is never streamed.
    // A turned picture is handed back whole, since a sink would be promised
    // the sides it had before the turn.
    const int orientation = orientationOf(source);
    ReadOptions feedOptions = options;
    if (orientation != 1)
        feedOptions.sink = nullptr;
    RowFeed feed;
    if (const int rc = feed.begin(feedOptions, int(source.width), int(source.height), 24, image, false); rc != kOk)
        return rc;
    ProgressReporter progress(options.progress);
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, &source);
    rgb.depth = 8;
    rgb.format = AVIF_RGB_FORMAT_BGR;
    rgb.pixels = image.data();
    rgb.rowBytes = uint32_t(image.stride());
    // Without a channel of its own for alpha the conversion hands the
    // colours over as laid on black; asked for so, whatever the file holds.
    rgb.alphaPremultiplied = AVIF_TRUE;
    if (const int rc = statusOf(avifImageYUVToRGB(&source, &rgb)); rc != kOk) {
        image.clear();
        return rc == kDamaged ? kUnsupported : rc;
    }
    if (!progress.report(1, 2) || (source.alphaPlane && !layOnWhite(source, image, progress))) {
        image.clear();
        return kStopped;
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

int infoAvif(const uint8_t *data, size_t size, FileInfo &info)
{
    if (!isAvif(data, size))
        return kNotAvif;
    Decoder dec(data, size);
    if (!dec.d)
        return kOutOfMemory;
    if (const int rc = parseStatus(avifDecoderParse(dec.d), data, size); rc != kOk)
        return rc;
    const avifImage &image = *dec.d->image;
    info.type = "AVIF";
    info.width = int(std::min<uint32_t>(image.width, INT32_MAX));
    info.height = int(std::min<uint32_t>(image.height, INT32_MAX));
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

} // namespace brisvale::codec
