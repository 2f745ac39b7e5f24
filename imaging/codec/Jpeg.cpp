#include "imaging/codec/Jpeg.h"

#include "imaging/codec/Cmyk.h"
#include "imaging/codec/ColourSpace.h"
#include "imaging/codec/FileIO.h"
#include "imaging/codec/Status.h"
#include "imaging/codec/Transform.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace brisvale::codec {

namespace {

// libjpeg reports fatal errors by calling error_exit, which must not return;
// it jumps back into the small guard functions below, which hold no C++
// objects, so nothing is skipped that needs destroying.
struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    bool truncated;
    bool damaged; // a progression no encoder makes
};

void onError(j_common_ptr c) { std::longjmp(reinterpret_cast<ErrorManager *>(c->err)->jump, 1); }

void onMessage(j_common_ptr c, int level)
{
    auto *err = reinterpret_cast<ErrorManager *>(c->err);
    if (level < 0 && err->pub.msg_code == JWRN_JPEG_EOF)
        err->truncated = true;
    // Refining bits never sent, or an AC scan before its DC: no encoder
    // makes these, and each costs a pass over the whole picture.
    if (level < 0 && err->pub.msg_code == JWRN_BOGUS_PROGRESSION) {
        err->damaged = true;
        onError(c);
    }
}

// Encoders make up to about twenty scans (two more than four a component for
// CMYK); each scan is a pass over the whole picture, so past this many a file
// costs more than decoding its picture does.
constexpr int kMostScans = 64;

// Which bits of each coefficient of each component the scans so far sent:
// a scan may send a coefficient's first bits once, and then refine them one
// bit at a time. A scan sent again, or one too many, is refused before its
// data is decoded.
struct ScanWatch {
    jpeg_progress_mgr pub{};
    int scan = 0;
    int8_t lowestBit[MAX_COMPONENTS][DCTSIZE2]{};
};

bool refuseScan(j_decompress_ptr d, ScanWatch &w)
{
    if (d->input_scan_number > kMostScans)
        return true;
    for (int i = 0; i < d->comps_in_scan; ++i) {
        const int comp = d->cur_comp_info[i]->component_index;
        if (comp < 0 || comp >= MAX_COMPONENTS || d->Ss < 0 || d->Se >= DCTSIZE2 || d->Ss > d->Se)
            return true;
        for (int k = d->Ss; k <= d->Se; ++k) {
            int8_t &sent = w.lowestBit[comp][k];
            // 0: nothing sent yet; else one more than the lowest bit sent.
            if (d->Ah == 0 ? sent != 0 : sent != d->Ah + 1)
                return true;
            sent = int8_t(d->Al + 1);
        }
    }
    return false;
}

void onProgress(j_common_ptr c)
{
    if (!c->is_decompressor)
        return;
    auto *d = reinterpret_cast<j_decompress_ptr>(c);
    auto &watch = *reinterpret_cast<ScanWatch *>(d->progress);
    if (!d->progressive_mode || d->input_scan_number == watch.scan)
        return;
    watch.scan = d->input_scan_number;
    if (refuseScan(d, watch)) {
        reinterpret_cast<ErrorManager *>(c->err)->damaged = true;
        onError(c);
    }
}

void setUpErrors(ErrorManager &err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.truncated = false;
    err.damaged = false;
}

bool guardedReadHeader(j_decompress_ptr c, ErrorManager *err)
{
    if (setjmp(err->jump))
        return false;
    jpeg_read_header(c, TRUE);
    return true;
}

bool guardedOutputSize(j_decompress_ptr c, ErrorManager *err)
{
    if (setjmp(err->jump))
        return false;
    jpeg_calc_output_dimensions(c);
    return true;
}

bool guardedStart(j_decompress_ptr c, ErrorManager *err)
{
    if (setjmp(err->jump))
        return false;
    jpeg_start_decompress(c);
    return true;
}

// Reads up to `count` rows; answers how many, or -1 on a fatal error.
int guardedReadRows(j_decompress_ptr c, ErrorManager *err, JSAMPARRAY rows, int count)
{
    if (setjmp(err->jump))
        return -1;
    return int(jpeg_read_scanlines(c, rows, JDIMENSION(count)));
}

// Reads an open file for libjpeg in pieces. Until the header is read it lets
// through no more than a header can take: a start marker followed by
// gigabytes of filler would otherwise be searched byte by byte for the next
// marker.
struct FileSource {
    jpeg_source_mgr pub{};
    FILE *file = nullptr;
    uint64_t budget = 0;
    std::vector<JOCTET> buffer = std::vector<JOCTET>(kFileBlock);
};

// Tables, profiles and thumbnails of real photographs stay far below this.
constexpr uint64_t kHeaderBudget = uint64_t(64) << 20;

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillFromFile(j_decompress_ptr c)
{
    auto *src = reinterpret_cast<FileSource *>(c->src);
    size_t n = 0;
    if (src->budget > 0)
        n = std::fread(src->buffer.data(), 1, size_t(std::min<uint64_t>(src->buffer.size(), src->budget)), src->file);
    src->budget -= std::min<uint64_t>(src->budget, n);
    if (n == 0) {
        // As libjpeg's own sources do: a warning, then an end marker.
        WARNMS(c, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer.data();
    src->pub.bytes_in_buffer = n;
    return TRUE;
}

void skipInFile(j_decompress_ptr c, long count)
{
    auto *src = reinterpret_cast<FileSource *>(c->src);
    while (count > 0) {
        if (size_t(count) <= src->pub.bytes_in_buffer) {
            src->pub.next_input_byte += count;
            src->pub.bytes_in_buffer -= size_t(count);
            return;
        }
        count -= long(src->pub.bytes_in_buffer);
        src->pub.bytes_in_buffer = 0;
        fillFromFile(c);
    }
}

struct Decompressor {
    jpeg_decompress_struct c{};
    ErrorManager err{};
    ScanWatch progress{};
    Decompressor()
    {
        setUpErrors(err);
        c.err = &err.pub;
        jpeg_create_decompress(&c);
        progress.pub.progress_monitor = onProgress;
        c.progress = &progress.pub;
        // Until the header tells the picture's size.
        c.mem->max_memory_to_use = long(std::min<uint64_t>(limits().maxPixels * 8, uint64_t(LONG_MAX)));
    }
    ~Decompressor() { jpeg_destroy_decompress(&c); }
};

uint16_t exifGet16(const uint8_t *p, bool big) { return big ? uint16_t((p[0] << 8) | p[1]) : le16(p); }
uint32_t exifGet32(const uint8_t *p, bool big)
{
    return big ? (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3] : le32(p);
}

// The orientation tag of the first EXIF directory, or 1.
int exifOrientation(const jpeg_decompress_struct &c)
{
    for (jpeg_saved_marker_ptr m = c.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 14 || std::memcmp(m->data, "Exif\0\0", 6) != 0)
            continue;
        const uint8_t *t = m->data + 6;
        const size_t n = m->data_length - 6;
        bool big;
        if (t[0] == 'M' && t[1] == 'M')
            big = true;
        else if (t[0] == 'I' && t[1] == 'I')
            big = false;
        else
            return 1;
        const uint32_t ifd = exifGet32(t + 4, big);
        if (ifd > n || n - ifd < 2)
            return 1;
        const unsigned entries = exifGet16(t + ifd, big);
        for (unsigned i = 0; i < entries; ++i) {
            const size_t at = size_t(ifd) + 2 + size_t(i) * 12;
            if (at + 12 > n)
                return 1;
            if (exifGet16(t + at, big) == 0x0112) {
                const int v = exifGet16(t + at + 8, big);
                return (v >= 1 && v <= 8) ? v : 1;
            }
        }
        return 1;
    }
    return 1;
}

// The ICC profile carried in APP2 segments, each "ICC_PROFILE", a NUL, its
// number from 1 and the count; null unless every piece is there exactly once.
ColourSpacePtr embeddedProfile(const jpeg_decompress_struct &c)
{
    constexpr size_t kHead = 14;
    jpeg_saved_marker_ptr pieces[256] = {};
    int count = 0;
    for (jpeg_saved_marker_ptr m = c.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 2 || m->data_length <= kHead || std::memcmp(m->data, "ICC_PROFILE", 12) != 0)
            continue;
        const int number = m->data[12], total = m->data[13];
        if (number == 0 || total == 0 || number > total || (count != 0 && total != count) || pieces[number])
            return nullptr;
        count = total;
        pieces[number] = m;
    }
    if (count == 0)
        return nullptr;
    std::vector<uint8_t> profile;
    for (int i = 1; i <= count; ++i) {
        if (!pieces[i])
            return nullptr;
        profile.insert(profile.end(), pieces[i]->data + kHead, pieces[i]->data + pieces[i]->data_length);
    }
    return ColourSpace::fromIcc(profile.data(), profile.size());
}

} // namespace

namespace {

// Decodes from whatever source the decompressor was given.
int decode(Decompressor &d, const ReadOptions &options, Image &image, Palette &palette, bool fromFile)
{
    jpeg_save_markers(&d.c, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&d.c, JPEG_APP0 + 2, 0xFFFF);
    auto *fileSource = fromFile ? reinterpret_cast<FileSource *>(d.c.src) : nullptr;
    if (fileSource)
        fileSource->budget = kHeaderBudget;
    if (!guardedReadHeader(&d.c, &d.err)) {
        if (d.err.pub.msg_code == JERR_NO_SOI)
            return kNotJpeg;
        if (fileSource && fileSource->budget == 0)
            return kDamaged;
        return d.err.truncated || d.err.pub.msg_code == JERR_INPUT_EMPTY ? kTruncated : kDamaged;
    }
    if (fileSource)
        fileSource->budget = UINT64_MAX;
    if (const int rc = checkPictureSize(d.c.image_width, d.c.image_height); rc != kOk)
        return rc;
    // A progressive picture's coefficients stay whole until its last scan,
    // two bytes a sample; beside them and the picture the decoder gets what
    // is left of a quarter of the picture and 64 MiB.
    const uint64_t pixels = uint64_t(d.c.image_width) * d.c.image_height;
    d.c.mem->max_memory_to_use = long(std::min<uint64_t>(
        pixels * 2 * uint64_t(d.c.num_components) + pixels * 3 / 4 + (uint64_t(64) << 20), uint64_t(LONG_MAX)));

    const bool grey = d.c.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = d.c.jpeg_color_space == JCS_CMYK || d.c.jpeg_color_space == JCS_YCCK;
    const bool greyOut = grey && options.depth != 24;
    ColourSpacePtr colour = embeddedProfile(d.c);
    // Inks go through their own profile as each band comes; the picture is
    // sRGB from then on.
    std::shared_ptr<const ColourConversion> inks;
    if (cmyk && colour && colour->model() == ColourSpace::Model::Cmyk)
        inks = conversionFor(colour.get(), ColourTarget::Srgb,
                             d.c.saw_Adobe_marker ? ColourConversion::Layout::CmykInverted
                                                  : ColourConversion::Layout::Cmyk);
    // A profile of another kind than the picture's colours says nothing.
    if (cmyk || (colour && colour->model() != (grey ? ColourSpace::Model::Grey : ColourSpace::Model::Rgb)))
        colour.reset();
    d.c.out_color_space = cmyk ? JCS_CMYK : greyOut ? JCS_GRAYSCALE : JCS_EXT_BGR;
    d.c.dct_method = JDCT_ISLOW;
    if (options.coverWidth > 0 && options.coverHeight > 0) {
        // Scaled in the DCT by M/8: the smallest M whose picture still covers
        // the box after the EXIF turn.
        const bool turned = exifOrientation(d.c) >= 5;
        const uint64_t w = turned ? d.c.image_height : d.c.image_width;
        const uint64_t h = turned ? d.c.image_width : d.c.image_height;
        unsigned m = 1;
        while (m < 8
               && ((w * m + 7) / 8 < uint64_t(options.coverWidth) || (h * m + 7) / 8 < uint64_t(options.coverHeight)))
            ++m;
        d.c.scale_num = m;
        d.c.scale_denom = 8;
    }
    if (!guardedOutputSize(&d.c, &d.err))
        return kDamaged;
    int rc = Image::create(int(d.c.output_width), int(d.c.output_height), greyOut ? 8 : 24, image);
    if (rc != kOk)
        return rc;
    if (!guardedStart(&d.c, &d.err)) {
        image.clear();
        const bool memory = d.err.pub.msg_code == JERR_NO_BACKING_STORE || d.err.pub.msg_code == JERR_OUT_OF_MEMORY;
        return memory && !d.err.damaged ? kTooLarge : kDamaged;
    }
    // Several rows a call where the decoder produces them together; CMYK in
    // bands of rows beside the picture, given their colours a band at a time.
    constexpr int kBand = 16;
    const size_t cmykStride = cmyk ? size_t(d.c.output_width) * 4 : 0;
    std::vector<uint8_t> cmykBand(cmykStride * kBand);
    ProgressReporter progress(options.progress);
    const int h = int(d.c.output_height);
    const int batch = cmyk ? kBand : std::max(1, d.c.rec_outbuf_height);
    JSAMPROW rows[kBand];
    int y = 0;
    while (y < h) {
        const int want = std::min({batch, h - y, kBand});
        for (int i = 0; i < want; ++i)
            rows[i] = cmyk ? cmykBand.data() + cmykStride * size_t(i) : image.row(y + i);
        const int got = guardedReadRows(&d.c, &d.err, rows, want);
        if (got <= 0) {
            image.clear();
            return kDamaged;
        }
        if (cmyk)
            cmykToBgr(cmykBand.data(), cmykStride, image.row(y), image.stride(), int(d.c.output_width), got,
                      d.c.saw_Adobe_marker, inks.get());
        y += got;
        if (d.err.truncated) {
            image.clear();
            return kTruncated;
        }
        if (!progress.report(uint64_t(y), uint64_t(h))) {
            image.clear();
            return kStopped;
        }
    }
    const int orientation = exifOrientation(d.c);
    // Whatever follows the last row (the end marker, trailing data) is not
    // read: it cannot change the picture.
    jpeg_abort_decompress(&d.c);
    if (d.err.truncated) {
        image.clear();
        return kTruncated;
    }
    palette.clear();
    if (greyOut)
        for (int i = 0; i < 256; ++i)
            palette.push_back(Rgb{uint8_t(i), uint8_t(i), uint8_t(i)});
    rc = toDepth(image, palette, options);
    if (rc == kOk)
        rc = applyOrientation(image, orientation);
    if (rc != kOk)
        image.clear();
    else
        image.setColour(std::move(colour));
    return rc;
}

} // namespace

int readJpeg(const uint8_t *data, size_t size, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    if (size < 3 || data[0] != 0xFF || data[1] != 0xD8)
        return kNotJpeg;
    Decompressor d;
    jpeg_mem_src(&d.c, data, static_cast<unsigned long>(size));
    return decode(d, options, image, palette, false);
}

int readJpegStream(FILE *file, const ReadOptions &options, Image &image, Palette &palette)
{
    image.clear();
    if (!isDepthCode(options.depth))
        return kBadDepth;
    Decompressor d;
    FileSource source;
    source.file = file;
    source.pub.init_source = initSource;
    source.pub.fill_input_buffer = fillFromFile;
    source.pub.skip_input_data = skipInFile;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = termSource;
    d.c.src = &source.pub;
    return decode(d, options, image, palette, true);
}

int infoJpeg(const uint8_t *data, size_t size, FileInfo &info)
{
    if (size < 3 || data[0] != 0xFF || data[1] != 0xD8)
        return kNotJpeg;
    Decompressor d;
    jpeg_mem_src(&d.c, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&d.c, JPEG_APP0 + 1, 0xFFFF);
    if (!guardedReadHeader(&d.c, &d.err))
        return d.err.truncated ? kTruncated : kDamaged;
    const bool swap = exifOrientation(d.c) >= 5;
    info.type = "JPG";
    info.width = int(swap ? d.c.image_height : d.c.image_width);
    info.height = int(swap ? d.c.image_width : d.c.image_height);
    info.bitsPerPixel = 8 * d.c.num_components;
    info.paletteColours = 0;
    info.pictures = 1;
    info.format = d.c.progressive_mode ? "JPEG progressive" : "JPEG baseline";
    if (d.c.jpeg_color_space == JCS_GRAYSCALE)
        info.format += " grey";
    else if (d.c.jpeg_color_space == JCS_CMYK || d.c.jpeg_color_space == JCS_YCCK)
        info.format += " CMYK";
    return kOk;
}

namespace {

bool guardedStartCompress(j_compress_ptr c, ErrorManager *err)
{
    if (setjmp(err->jump))
        return false;
    jpeg_start_compress(c, TRUE);
    return true;
}

bool guardedWriteRow(j_compress_ptr c, ErrorManager *err, JSAMPROW row)
{
    if (setjmp(err->jump))
        return false;
    JSAMPROW rows[1] = {row};
    return jpeg_write_scanlines(c, rows, 1) == 1;
}

bool guardedFinishCompress(j_compress_ptr c, ErrorManager *err)
{
    if (setjmp(err->jump))
        return false;
    jpeg_finish_compress(c);
    return true;
}

struct Compressor {
    jpeg_compress_struct c{};
    ErrorManager err{};
    Compressor()
    {
        setUpErrors(err);
        c.err = &err.pub;
        jpeg_create_compress(&c);
    }
    ~Compressor() { jpeg_destroy_compress(&c); }
};

} // namespace

int writeJpeg(OutputFile &file, int quality, int smoothing, int depth, const Image &image, const Palette &palette,
              const Progress *progress)
{
    if (image.empty())
        return kNoPicture;
    if (quality < 1 || quality > 100 || smoothing < 0 || smoothing > 100)
        return kBadArgument;
    if (depth != 1 && depth != 24)
        return kBadDepth;
    const bool grey = depth == 1;
    if (!file.isOpen())
        return kCannotWrite;
    Compressor z;
    jpeg_stdio_dest(&z.c, file.handle());
    z.c.image_width = JDIMENSION(image.width());
    z.c.image_height = JDIMENSION(image.height());
    z.c.input_components = grey ? 1 : 3;
    z.c.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(&z.c);
    jpeg_set_quality(&z.c, quality, TRUE);
    z.c.smoothing_factor = smoothing;
    // At high qualities colour detail is kept at full resolution.
    if (!grey && quality >= 90)
        for (int i = 0; i < z.c.num_components; ++i)
            z.c.comp_info[i].h_samp_factor = z.c.comp_info[i].v_samp_factor = 1;
    if (!guardedStartCompress(&z.c, &z.err))
        return kCannotWrite;
    const int w = image.width();
    std::vector<uint8_t> bgr(size_t(w) * 3), lum(grey ? size_t(w) : 0);
    ProgressReporter reporter(progress);
    for (int y = 0; y < image.height(); ++y) {
        const uint8_t *src = image.row(y);
        if (image.bits() != 24) {
            rowToBgr(image, palette, y, bgr.data());
            src = bgr.data();
        }
        JSAMPROW row = const_cast<JSAMPROW>(src);
        if (grey) {
            for (int x = 0; x < w; ++x) {
                const uint8_t *px = src + 3 * size_t(x);
                lum[size_t(x)] = uint8_t((px[2] * 299 + px[1] * 587 + px[0] * 114 + 500) / 1000);
            }
            row = lum.data();
        }
        if (!guardedWriteRow(&z.c, &z.err, row))
            return kCannotWrite;
        if (!reporter.report(uint64_t(y) + 1, uint64_t(image.height())))
            return kStopped;
    }
    if (!guardedFinishCompress(&z.c, &z.err))
        return kCannotWrite;
    return file.commit() ? kOk : kCannotWrite;
}

} // namespace brisvale::codec
