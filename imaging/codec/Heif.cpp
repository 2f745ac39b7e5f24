#include "imaging/codec/Heif.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/ColourSpace.h"
#include "imaging/codec/IsoBoxes.h"
#include "imaging/codec/PagesBehind.h"
#include "imaging/codec/Status.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <libheif/heif.h>

namespace brisvale::codec {

namespace {

int statusOf(const heif_error &error)
{
    switch (error.code) {
    case heif_error_Ok: return kOk;
    case heif_error_Memory_allocation_error:
        return error.subcode == heif_suberror_Security_limit_exceeded ? kTooLarge : kOutOfMemory;
    case heif_error_Unsupported_filetype:
    case heif_error_Unsupported_feature: return kUnsupported;
    default: break;
    }
    if (error.subcode == heif_suberror_Security_limit_exceeded)
        return kTooLarge;
    return error.subcode == heif_suberror_End_of_data ? kTruncated : kDamaged;
}

// A failure of the parse or the decoding, telling a file cut short from a
// damaged one.
int failureOf(const heif_error &error, ByteSource &file)
{
    const int rc = statusOf(error);
    return rc == kDamaged && cutShort(file) ? kTruncated : rc;
}

// kOk, kNotHeif, or kUnsupported for a HEIF kind libheif cannot read.
int kindOf(const std::vector<uint8_t> &head)
{
    if (head.size() < 12)
        return kNotHeif;
    switch (heif_check_filetype(head.data(), int(head.size()))) {
    case heif_filetype_yes_supported: return kOk;
    case heif_filetype_yes_unsupported: return kUnsupported;
    default: break;
    }
    return kNotHeif;
}

constexpr int kLongestSide = 16384;

// The file's bytes as libheif asks for them, each read bounded: a file cut
// short while it is read gives libheif fewer bytes, never a fault.
// libheif gives up the whole process when a read it was promised fails, so a
// read cut short by the file shrinking is filled out with zeros and
// remembered: the file is then damaged, whatever libheif makes of it.
struct SourceReader {
    ByteSource &file;
    uint64_t position = 0;
    bool cutShort = false;
};

const heif_reader kSourceReader = {
    1,
    [](void *self) { return int64_t(static_cast<SourceReader *>(self)->position); },
    [](void *data, size_t size, void *self) {
        auto &r = *static_cast<SourceReader *>(self);
        const size_t got = r.file.read(r.position, static_cast<uint8_t *>(data), size);
        if (got < size) {
            std::memset(static_cast<uint8_t *>(data) + got, 0, size - got);
            r.cutShort = true;
        }
        r.position += size;
        return 0;
    },
    [](int64_t position, void *self) {
        auto &r = *static_cast<SourceReader *>(self);
        if (position < 0 || uint64_t(position) > r.file.size())
            return 1;
        r.position = uint64_t(position);
        return 0;
    },
    [](int64_t size, void *self) {
        return size >= 0 && uint64_t(size) <= static_cast<SourceReader *>(self)->file.size()
                   ? heif_reader_grow_status_size_reached
                   : heif_reader_grow_status_size_beyond_eof;
    },
};

// The file parsed and its primary picture found. libheif reads the pictures'
// data from the file when it decodes them.
struct Primary {
    SourceReader reader;
    heif_context *context = heif_context_alloc();
    heif_image_handle *handle = nullptr;
    int status = kOutOfMemory;
    explicit Primary(ByteSource &file) : reader{file}
    {
        if (!context)
            return;
        // A grid may declare another size in its own data than in its header;
        // no picture a phone or camera makes has a side this long.
        heif_context_set_maximum_image_size_limit(context, kLongestSide);
        status = failureOf(heif_context_read_from_reader(context, &kSourceReader, &reader, nullptr), file);
        if (status == kOk)
            status = failureOf(heif_context_get_primary_image_handle(context, &handle), file);
        if (reader.cutShort)
            status = kTruncated;
    }
    ~Primary()
    {
        if (handle)
            heif_image_handle_release(handle);
        if (context)
            heif_context_free(context);
    }
    Primary(const Primary &) = delete;
    Primary &operator=(const Primary &) = delete;
};

// Reads the bits of a parameter set, its emulation prevention bytes taken out.
class BitReader {
public:
    BitReader(const uint8_t *data, size_t size)
    {
        for (size_t i = 0; i < size; ++i) {
            if (i >= 2 && data[i] == 3 && data[i - 1] == 0 && data[i - 2] == 0)
                continue;
            bytes_.push_back(data[i]);
        }
    }
    bool ok() const { return ok_; }
    uint64_t bits(int n)
    {
        uint64_t v = 0;
        for (int i = 0; i < n; ++i) {
            if (pos_ >= bytes_.size() * 8) {
                ok_ = false;
                return 0;
            }
            v = (v << 1) | ((bytes_[pos_ / 8] >> (7 - pos_ % 8)) & 1);
            ++pos_;
        }
        return v;
    }
    uint64_t golomb()
    {
        int zeros = 0;
        while (ok_ && bits(1) == 0)
            if (++zeros > 32)
                ok_ = false;
        return ok_ ? (uint64_t(1) << zeros) - 1 + bits(zeros) : 0;
    }

private:
    std::vector<uint8_t> bytes_;
    size_t pos_ = 0;
    bool ok_ = true;
};

// The picture size an HEVC sequence parameter set (NAL unit, header
// included) declares, or false when it cannot be read.
bool spsSize(const uint8_t *nal, size_t size, uint64_t &width, uint64_t &height)
{
    BitReader r(nal, size);
    r.bits(16 + 4); // NAL unit header, parameter set id
    const int subLayers = int(r.bits(3));
    r.bits(1);
    r.bits(96); // the general profile, tier and level
    bool profile[8] = {};
    bool level[8] = {};
    for (int i = 0; i < subLayers; ++i) {
        profile[i] = r.bits(1) != 0;
        level[i] = r.bits(1) != 0;
    }
    if (subLayers > 0)
        r.bits(2 * (8 - subLayers));
    for (int i = 0; i < subLayers; ++i)
        r.bits((profile[i] ? 88 : 0) + (level[i] ? 8 : 0));
    r.golomb();
    if (r.golomb() == 3)
        r.bits(1);
    width = r.golomb();
    height = r.golomb();
    return r.ok();
}

// The sizes the HEVC pictures of the file are coded at (their sequence
// parameter sets in the 'hvcC' properties), held to the limit before the
// decoder makes frames of that size: the size the header declares for the
// picture may be far smaller.
int checkCodedSizes(const std::vector<uint8_t> &metaBytes)
{
    const uint8_t *meta = metaBytes.data();
    const size_t length = metaBytes.size();
    for (size_t i = 4; i + 4 + 23 <= length; ++i) {
        if (std::memcmp(meta + i, "hvcC", 4) != 0)
            continue;
        const uint64_t box = be32(meta + i - 4);
        if (box < 8 + 23 || box > length - (i - 4))
            continue;
        const uint8_t *p = meta + i + 4 + 22;
        const uint8_t *end = meta + i - 4 + box;
        for (int arrays = *p++; arrays > 0 && end - p >= 3; --arrays) {
            const int type = p[0] & 0x3f;
            int count = (p[1] << 8) | p[2];
            p += 3;
            for (; count > 0 && end - p >= 2; --count) {
                const size_t n = size_t((p[0] << 8) | p[1]);
                p += 2;
                if (n > size_t(end - p))
                    break;
                uint64_t width = 0;
                uint64_t height = 0;
                if (type == 33 && spsSize(p, n, width, height)) {
                    if (const int rc = checkPictureSize(width, height); rc == kTooLarge)
                        return rc;
                }
                p += n;
            }
        }
    }
    return kOk;
}

struct Decoded {
    heif_image *image = nullptr;
    ~Decoded()
    {
        if (image)
            heif_image_release(image);
    }
};

struct DecodingOptions {
    heif_decoding_options *options = heif_decoding_options_alloc();
    ~DecodingOptions() { heif_decoding_options_free(options); }
};

inline uint8_t overWhite(uint8_t c, uint8_t a) { return uint8_t((c * a + 255 * (255 - a) + 127) / 255); }

// One of the planes of the decoded picture, handed back to the system as its
// rows are laid on ours (libheif reads its picture no more before freeing it).
struct Plane {
    const uint8_t *data = nullptr;
    int stride = 0;
    int bits = 0;
    PagesBehind behind{nullptr};

    bool take(const heif_image *image, heif_channel channel, int width, int height)
    {
        data = heif_image_get_plane_readonly(image, channel, &stride);
        bits = heif_image_get_bits_per_pixel_range(image, channel);
        behind = PagesBehind(data);
        return data && stride > 0 && bits >= 8 && bits <= 16 && heif_image_get_width(image, channel) == width
               && heif_image_get_height(image, channel) == height;
    }
    // Row y in 8 bits. Deeper samples lose their low bits, as libheif's own
    // interleaving brings them down, into `to`.
    const uint8_t *row(int y, int width, uint8_t *to) const
    {
        const uint8_t *src = data + size_t(y) * size_t(stride);
        if (bits == 8)
            return src;
        const auto *wide = reinterpret_cast<const uint16_t *>(src);
        for (int x = 0; x < width; ++x)
            to[x] = uint8_t(wide[x] >> (bits - 8));
        return to;
    }
};

} // namespace

namespace {

// The colr box: an ICC profile, or nclx code points.
ColourSpacePtr colourOf(const heif_image_handle *handle)
{
    ColourSpacePtr colour;
    switch (heif_image_handle_get_color_profile_type(handle)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        std::vector<uint8_t> profile(heif_image_handle_get_raw_color_profile_size(handle));
        if (!profile.empty() && heif_image_handle_get_raw_color_profile(handle, profile.data()).code == heif_error_Ok)
            colour = ColourSpace::fromIcc(profile.data(), profile.size());
        break;
    }
    case heif_color_profile_type_nclx: {
        heif_color_profile_nclx *nclx = nullptr;
        if (heif_image_handle_get_nclx_color_profile(handle, &nclx).code == heif_error_Ok && nclx)
            colour = ColourSpace::fromCicp({int(nclx->color_primaries), int(nclx->transfer_characteristics)});
        heif_nclx_color_profile_free(nclx);
        break;
    }
    default: break;
    }
    if (colour && colour->model() != ColourSpace::Model::Rgb)
        colour.reset();
    return colour;
}

} // namespace

int readHeifSource(ByteSource &file, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    if (const int rc = kindOf(fileHead(file)); rc != kOk)
        return rc;
    std::vector<uint8_t> meta;
    if (const int rc = readMetaBox(file, meta); rc != kOk)
        return rc;
    if (const int rc = checkCodedSizes(meta); rc != kOk)
        return rc;
    if (uint64_t w = 0, h = 0; largestDerivedCanvas(meta, file, w, h) && checkPictureSize(w, h) == kTooLarge)
        return kTooLarge;
    Primary p(file);
    if (p.status != kOk)
        return p.status;
    // The size after the file's own turn and crop, as it will be shown.
    const int width = heif_image_handle_get_width(p.handle);
    const int height = heif_image_handle_get_height(p.handle);
    if (width <= 0 || height <= 0)
        return kDamaged;
    if (const int rc = checkPictureSize(uint64_t(width), uint64_t(height)); rc != kOk)
        return rc;
    const bool alpha = heif_image_handle_has_alpha_channel(p.handle) != 0;
    const DecodingOptions decoding;
    if (!decoding.options)
        return kOutOfMemory;
    Decoded decoded;
    heif_error decodedAs{};
    try {
        // Asked for the planes libheif makes before it interleaves them: it
        // brings every picture to red, green and blue planes first, so the
        // colours are its own, and the interleaved copy it would make beside
        // them is never made.
        decodedAs = heif_decode_image(p.handle, &decoded.image, heif_colorspace_RGB, heif_chroma_444, decoding.options);
    } catch (const std::bad_alloc &) {
        return kOutOfMemory; // the library's own frames did not fit
    }
    if (const int rc = p.reader.cutShort ? kTruncated : failureOf(decodedAs, file); rc != kOk)
        return rc;
    Plane planes[4];
    const heif_channel channels[4] = {heif_channel_B, heif_channel_G, heif_channel_R, heif_channel_Alpha};
    const int count = alpha ? 4 : 3;
    for (int c = 0; c < count; ++c)
        if (!planes[c].take(decoded.image, channels[c], width, height))
            return kUnsupported;
    const bool premultiplied = heif_image_is_premultiplied_alpha(decoded.image) != 0;

    RowFeed feed;
    if (const int rc = feed.begin(options, width, height, 24, image); rc != kOk)
        return rc;
    Image &out = feed.image();
    ProgressReporter progress(options.progress);
    std::vector<uint8_t> deeper(size_t(width) * size_t(count));
    for (int y = 0; y < height; ++y) {
        const uint8_t *row[4] = {};
        for (int c = 0; c < count; ++c)
            row[c] = planes[c].row(y, width, deeper.data() + size_t(c) * size_t(width));
        uint8_t *dst = out.row(feed.line(y));
        for (int x = 0; x < width; ++x, dst += 3) {
            if (!alpha) {
                dst[0] = row[0][x];
                dst[1] = row[1][x];
                dst[2] = row[2][x];
                continue;
            }
            const uint8_t a = row[3][x];
            for (int k = 0; k < 3; ++k)
                dst[k] = premultiplied ? uint8_t(std::min(255, row[k][x] + 255 - a)) : overWhite(row[k][x], a);
        }
        feed.done({});
        for (int c = 0; c < count; ++c)
            planes[c].behind.release(size_t(y + 1) * size_t(planes[c].stride));
        if (!progress.report(uint64_t(y) + 1, uint64_t(height))) {
            image.clear();
            return kStopped;
        }
    }
    const int rc = feed.finish(image, palette, {}, options);
    if (succeeded(rc))
        image.setColour(colourOf(p.handle));
    return rc;
}

int readHeif(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    ByteSource file(data, size);
    return readHeifSource(file, options, image, palette);
}

int infoHeifSource(ByteSource &file, FileInfo &info)
{
    const std::vector<uint8_t> head = fileHead(file);
    if (const int rc = kindOf(head); rc != kOk)
        return rc;
    Primary p(file);
    if (p.status != kOk)
        return p.status;
    const int bits = heif_image_handle_get_luma_bits_per_pixel(p.handle);
    const bool alpha = heif_image_handle_has_alpha_channel(p.handle) != 0;
    info.type = "HEIC";
    info.width = heif_image_handle_get_width(p.handle);
    info.height = heif_image_handle_get_height(p.handle);
    info.bitsPerPixel = bits > 0 ? bits * (alpha ? 4 : 3) : 0;
    info.paletteColours = 0;
    info.pictures = heif_context_get_number_of_top_level_images(p.context);
    // The major brand says what kind of HEIF it is: heic, mif1, avif...
    std::string brand(reinterpret_cast<const char *>(head.data()) + 8, 4);
    std::replace_if(
        brand.begin(), brand.end(), [](char c) { return c < ' ' || c > '~'; }, '?');
    info.format = "HEIF " + brand + " " + std::to_string(std::max(bits, 0)) + "-bit";
    if (alpha)
        info.format += " alpha";
    return kOk;
}

int infoHeif(const uint8_t *data, size_t size, FileInfo &info)
{
    ByteSource file(data, size);
    return infoHeifSource(file, info);
}

} // namespace brisvale::codec
