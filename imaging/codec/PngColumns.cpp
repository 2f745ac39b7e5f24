#include "imaging/codec/PngColumns.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/ColorReduce.h"
#include "imaging/codec/Image.h"
#include "imaging/codec/Progress.h"
#include "imaging/codec/Status.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <zlib.h>

namespace brisvale::codec {

namespace {

// Data is read in the pieces libpng reads it in, so that a file cut short
// fails at the same place in either reader.
constexpr size_t kInput = 8192;
// Pixels of every row decoded before moving right; a multiple of 8, so a
// piece of a packed row starts on a byte.
constexpr uint32_t kPiecePixels = 4096;
// Each row holds an inflate state of about 40 KB and an input buffer.
constexpr size_t kMaxRows = 256;
// Room kept for what the program holds besides the picture and the rows
// (its libraries, a window's own buffers) when judging whether libpng fits.
constexpr size_t kNoticeable = size_t(48) << 20;

struct Pass {
    uint32_t x0, y0, dx, dy;
};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr Pass kWhole = {0, 0, 1, 1};

struct PassSize {
    Pass pass;
    uint32_t width, height;
};

std::vector<PassSize> passesOf(const PngLayout &layout)
{
    std::vector<PassSize> out;
    const auto add = [&](const Pass &p) {
        if (layout.width <= p.x0 || layout.height <= p.y0)
            return; // a pass with no pixels has no rows in the data either
        out.push_back({p, (layout.width - p.x0 + p.dx - 1) / p.dx, (layout.height - p.y0 + p.dy - 1) / p.dy});
    };
    if (layout.interlaced) {
        for (const Pass &p : kAdam7)
            add(p);
    } else {
        add(kWhole);
    }
    return out;
}

int channelsOf(int colourType)
{
    switch (colourType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

uint64_t rowsOf(const std::vector<PassSize> &passes)
{
    uint64_t n = 0;
    for (const PassSize &p : passes)
        n += p.height;
    return n;
}

uint32_t be32(const uint8_t *p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

// The picture data as one inflated stream, read chunk by chunk from the file.
// A copy carries on from where the original stood, with its own input.
class IdatStream {
public:
    explicit IdatStream(ByteSource &source) : source_(source) {}
    ~IdatStream()
    {
        if (live_)
            inflateEnd(&z_);
    }
    IdatStream(const IdatStream &) = delete;
    IdatStream &operator=(const IdatStream &) = delete;

    int start(uint64_t firstData)
    {
        const uint8_t *header = firstData >= 8 ? source_.at(firstData - 8, 8) : nullptr;
        if (!header)
            return kDamaged;
        const uint32_t length = be32(header);
        if (length > 0x7fffffffu)
            return kDamaged;
        crc_ = uint32_t(crc32(0, header + 4, 4));
        leftInChunk_ = length;
        next_ = firstData;
        // The window the stream's own header names, as libpng takes it.
        if (inflateInit2(&z_, 0) != Z_OK)
            return kOutOfMemory;
        live_ = true;
        return kOk;
    }

    std::unique_ptr<IdatStream> copy() const
    {
        std::unique_ptr<IdatStream> c(new (std::nothrow) IdatStream(source_));
        if (!c || inflateCopy(&c->z_, const_cast<z_stream *>(&z_)) != Z_OK)
            return nullptr;
        c->live_ = true;
        c->started_ = started_;
        c->ended_ = ended_;
        // Only the first reader of the data checks its sums: the copies read
        // the same bytes again.
        c->checkCrc_ = false;
        c->next_ = next_;
        c->leftInChunk_ = leftInChunk_;
        if (z_.avail_in)
            std::memcpy(c->in_.data(), z_.next_in, z_.avail_in);
        c->z_.next_in = c->in_.data();
        c->z_.avail_in = z_.avail_in;
        return c;
    }

    // Exactly `n` bytes of the stream; kOk, or why they are not there. Input
    // is fetched whenever none is left before inflating, as libpng does, so
    // both readers meet a broken file at the same place.
    int take(uint8_t *out, size_t n)
    {
        z_.next_out = out;
        z_.avail_out = uInt(n);
        while (z_.avail_out > 0) {
            if (z_.avail_in == 0) {
                if (const int rc = refill(); rc != kOk)
                    return rc;
            }
            // libpng refuses a window over 32 KiB on the stream's first byte.
            if (!started_ && (z_.next_in[0] >> 4) > 7)
                return kDamaged;
            started_ = true;
            const int rc = inflate(&z_, Z_NO_FLUSH);
            if (rc == Z_STREAM_END) {
                ended_ = true;
                return z_.avail_out == 0 ? kOk : kDamaged;
            }
            if (rc == Z_MEM_ERROR)
                return kOutOfMemory;
            if (rc != Z_OK)
                return kDamaged;
        }
        return kOk;
    }

    // After the last row, as libpng does: the stream is read on while it
    // yields more (data past the picture, or a fault in it, is no fault of
    // the picture), then the rest of the chunk it stopped in and its sum.
    int endOfData()
    {
        std::array<uint8_t, 1024> sink;
        for (bool extra = !ended_; extra;) {
            if (z_.avail_in == 0) {
                if (const int rc = refill(); rc != kOk)
                    return rc;
            }
            z_.next_out = sink.data();
            z_.avail_out = uInt(sink.size());
            const int rc = inflate(&z_, Z_NO_FLUSH);
            extra = z_.avail_out < sink.size() && rc == Z_OK;
            if (rc == Z_MEM_ERROR)
                return kOutOfMemory;
        }
        z_.avail_in = 0;
        while (leftInChunk_ > 0) {
            if (const int rc = readPiece(); rc != kOk)
                return rc;
        }
        uint8_t sum[4];
        if (source_.read(next_, sum, 4) != 4)
            return kTruncated;
        return !checkCrc_ || be32(sum) == crc_ ? kOk : kDamaged;
    }

private:
    int refill()
    {
        while (leftInChunk_ == 0) {
            // The chunk's sum, then the next chunk, which must be more data.
            uint8_t tail[12];
            const size_t got = source_.read(next_, tail, sizeof tail);
            if (got < 4)
                return kTruncated;
            if (checkCrc_ && be32(tail) != crc_)
                return kDamaged;
            if (got < sizeof tail)
                return kTruncated;
            if (std::memcmp(tail + 8, "IDAT", 4) != 0)
                return kDamaged; // the data ends before the picture does
            const uint32_t length = be32(tail + 4);
            if (length > 0x7fffffffu)
                return kDamaged;
            crc_ = uint32_t(crc32(0, tail + 8, 4));
            leftInChunk_ = length;
            next_ += sizeof tail;
        }
        return readPiece();
    }

    // The next piece of the current chunk's data, as the input, summed.
    int readPiece()
    {
        const size_t want = std::min<size_t>(leftInChunk_, kInput);
        if (source_.read(next_, in_.data(), want) != want)
            return kTruncated;
        if (checkCrc_)
            crc_ = uint32_t(crc32(crc_, in_.data(), uInt(want)));
        next_ += want;
        leftInChunk_ -= uint32_t(want);
        z_.next_in = in_.data();
        z_.avail_in = uInt(want);
        return kOk;
    }

    ByteSource &source_;
    z_stream z_{};
    bool live_ = false;
    bool started_ = false, ended_ = false;
#ifdef BRISVALE_FUZZING
    bool checkCrc_ = false;
#else
    bool checkCrc_ = true;
#endif
    uint64_t next_ = 0;
    uint32_t leftInChunk_ = 0;
    uint32_t crc_ = 0;
    std::array<uint8_t, kInput> in_{};
};

uint8_t paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return uint8_t(a);
    return uint8_t(pb <= pc ? b : c);
}

// Undoes a row filter on one piece. The `step` bytes before `cur` and `prior`
// hold the end of the previous piece of the same rows (zero at the left edge).
void unfilter(int type, uint8_t *cur, const uint8_t *prior, size_t n, size_t step)
{
    const uint8_t *left = cur - step, *priorLeft = prior - step;
    switch (type) {
    case 1:
        for (size_t i = 0; i < n; ++i)
            cur[i] = uint8_t(cur[i] + left[i]);
        break;
    case 2:
        for (size_t i = 0; i < n; ++i)
            cur[i] = uint8_t(cur[i] + prior[i]);
        break;
    case 3:
        for (size_t i = 0; i < n; ++i)
            cur[i] = uint8_t(cur[i] + ((left[i] + prior[i]) >> 1));
        break;
    case 4:
        for (size_t i = 0; i < n; ++i)
            cur[i] = uint8_t(cur[i] + paeth(left[i], prior[i], priorLeft[i]));
        break;
    default: break;
    }
}

// Turns the samples of one piece into the picture's pixels, as the libpng
// reader makes them: 16 bits scaled to 8 with rounding, low-depth grey
// widened, transparency from an alpha channel or the tRNS colour laid on white.
class PixelWriter {
public:
    explicit PixelWriter(const PngLayout &layout)
        : layout_(layout), channels_(channelsOf(layout.colourType)), depth_(layout.bitDepth)
    {
        const uint16_t mask = depth_ == 16 ? 0xffff : uint16_t((1u << depth_) - 1);
        trans_ = {uint16_t(layout.transRed & mask), uint16_t(layout.transGreen & mask),
                  uint16_t(layout.transBlue & mask), uint16_t(layout.transGrey & mask)};
        widen_ = depth_ < 8 ? uint8_t(255 / ((1u << depth_) - 1)) : 1;
    }

    void write(const uint8_t *samples, uint32_t count, uint8_t *row, uint32_t x, uint32_t dx) const
    {
        if (layout_.indexed) {
            for (uint32_t i = 0; i < count; ++i, x += dx)
                row[x] = uint8_t(sample(samples, i));
            return;
        }
        uint16_t raw[4];
        uint8_t v[4];
        for (uint32_t i = 0; i < count; ++i, x += dx) {
            for (int c = 0; c < channels_; ++c) {
                raw[c] = sample(samples, i * uint32_t(channels_) + uint32_t(c));
                v[c] = to8(raw[c]);
            }
            uint8_t r, g, b, a = 255;
            switch (layout_.colourType) {
            case 2:
                r = v[0], g = v[1], b = v[2];
                if (layout_.hasTrns && raw[0] == trans_[0] && raw[1] == trans_[1] && raw[2] == trans_[2])
                    a = 0;
                break;
            case 4: r = g = b = v[0], a = v[1]; break;
            case 6: r = v[0], g = v[1], b = v[2], a = v[3]; break;
            default:
                r = g = b = v[0];
                if (layout_.hasTrns && raw[0] == trans_[3])
                    a = 0;
                break;
            }
            uint8_t *dst = row + size_t(x) * 3;
            dst[0] = pngOverWhite(b, a);
            dst[1] = pngOverWhite(g, a);
            dst[2] = pngOverWhite(r, a);
        }
    }

private:
    uint16_t sample(const uint8_t *p, uint32_t i) const
    {
        switch (depth_) {
        case 16: return uint16_t(p[2 * size_t(i)] << 8 | p[2 * size_t(i) + 1]);
        case 8: return p[i];
        default: {
            const uint32_t bit = i * uint32_t(depth_);
            return uint16_t((p[bit >> 3] >> (8 - depth_ - int(bit & 7))) & ((1 << depth_) - 1));
        }
        }
    }

    uint8_t to8(uint16_t s) const
    {
        if (depth_ == 16) {
            // libpng's own rounding, so both readers give the same pixels.
            int32_t t = s >> 8;
            t += ((int32_t(s & 0xff) - t + 128) * 65535) >> 24;
            return uint8_t(t);
        }
        return uint8_t(s * widen_);
    }

    const PngLayout &layout_;
    int channels_, depth_;
    std::array<uint16_t, 4> trans_{};
    uint8_t widen_ = 1;
};

} // namespace

bool pngRowsTooLongForLibpng(const PngLayout &layout)
{
    const uint64_t w = layout.width, h = layout.height;
    const uint64_t filePixel = std::max<uint64_t>(1, uint64_t(channelsOf(layout.colourType) * layout.bitDepth) / 8);
    const uint64_t libpngRows = 2 * w * std::max<uint64_t>(filePixel, layout.indexed ? 1 : 4);
    const uint64_t picture = w * h * (layout.indexed ? 1 : 3);
    const uint64_t budget = w * h * 3 * 5 / 4 + (uint64_t(64) << 20);
    return libpngRows + kNoticeable > budget - std::min(budget, picture) && rowsOf(passesOf(layout)) <= kMaxRows;
}

int readPngColumns(ByteSource &source, uint64_t firstIdatData, const PngLayout &layout, const PngColumnsTarget &to,
                   ProgressReporter &progress)
{
    const std::vector<PassSize> passes = passesOf(layout);
    if (rowsOf(passes) > kMaxRows)
        return kTooLarge;
    if (!to.picture && (layout.interlaced || !to.sink || (layout.indexed && !to.palette)))
        return kBadArgument;
    const uint32_t bits = uint32_t(channelsOf(layout.colourType) * layout.bitDepth);
    const size_t step = std::max<size_t>(1, bits / 8);
    const auto bytesFor = [&](uint32_t pixels) { return size_t((uint64_t(pixels) * bits + 7) / 8); };
    uint64_t total = 0;
    for (const PassSize &p : passes)
        total += uint64_t(p.height) * (bytesFor(p.width) + 1);

    // First pass over the data: a copy of the stream at the start of every row.
    std::vector<std::unique_ptr<IdatStream>> rows;
    {
        IdatStream stream(source);
        if (const int rc = stream.start(firstIdatData); rc != kOk)
            return rc;
        std::unique_ptr<uint8_t[]> scratch(new (std::nothrow) uint8_t[kInput]);
        if (!scratch)
            return kOutOfMemory;
        uint64_t done = 0;
        rows.reserve(size_t(rowsOf(passes)));
        for (const PassSize &p : passes) {
            for (uint32_t y = 0; y < p.height; ++y) {
                rows.push_back(stream.copy());
                if (!rows.back())
                    return kOutOfMemory;
                uint8_t filter = 0;
                for (uint64_t left = bytesFor(p.width) + 1; left > 0;) {
                    const size_t n = size_t(std::min<uint64_t>(left, kInput));
                    if (const int rc = stream.take(scratch.get(), n); rc != kOk)
                        return rc;
                    if (left == bytesFor(p.width) + 1)
                        filter = scratch[0];
                    left -= n;
                    done += n;
                    if (!progress.report(done, 2 * total))
                        return kStopped;
                }
                // Checked where libpng checks it, once the row is in.
                if (filter > 4)
                    return kDamaged;
            }
        }
        if (const int rc = stream.endOfData(); rc != kOk)
            return rc;
    }

    // Then across the width, every row of a pass a piece at a time: a piece
    // needs only the same piece of the row above and the last pixel before it.
    const size_t pieceBytes = bytesFor(kPiecePixels);
    std::unique_ptr<uint8_t[]> bufA(new (std::nothrow) uint8_t[step + pieceBytes]);
    std::unique_ptr<uint8_t[]> bufB(new (std::nothrow) uint8_t[step + pieceBytes]);
    std::unique_ptr<uint8_t[]> tails(new (std::nothrow) uint8_t[kMaxRows * step]);
    if (!bufA || !bufB || !tails)
        return kOutOfMemory;
    // Going to a sink, a piece is made true colour here first.
    Image indices;
    std::vector<uint8_t> bgr;
    if (!to.picture) {
        if (layout.indexed) {
            if (const int rc = Image::create(int(kPiecePixels), 1, 8, indices); rc != kOk)
                return rc;
        }
        bgr.resize(size_t(kPiecePixels) * 3);
    }
    std::array<uint8_t, kMaxRows> filters{};
    const PixelWriter writer(layout);
    uint64_t done = total;
    size_t first = 0;
    for (const PassSize &p : passes) {
        std::memset(tails.get(), 0, kMaxRows * step);
        for (uint32_t x = 0; x < p.width; x += kPiecePixels) {
            const uint32_t count = std::min(kPiecePixels, p.width - x);
            const size_t n = bytesFor(count);
            uint8_t *prior = bufA.get(), *cur = bufB.get();
            std::memset(prior, 0, step + n);
            for (uint32_t y = 0; y < p.height; ++y) {
                IdatStream &stream = *rows[first + y];
                if (x == 0) {
                    if (const int rc = stream.take(&filters[y], 1); rc != kOk)
                        return rc;
                    if (filters[y] > 4)
                        return kDamaged;
                }
                uint8_t *tail = tails.get() + size_t(y) * step;
                std::memcpy(cur, tail, step);
                if (const int rc = stream.take(cur + step, n); rc != kOk)
                    return rc;
                unfilter(filters[y], cur + step, prior + step, n, step);
                std::memcpy(tail, cur + n, step);
                if (to.picture) {
                    writer.write(cur + step, count, to.picture->row(int(p.pass.y0 + y * p.pass.dy)),
                                 p.pass.x0 + x * p.pass.dx, p.pass.dx);
                } else if (layout.indexed) {
                    writer.write(cur + step, count, indices.row(0), 0, 1);
                    rowToBgr(indices, *to.palette, 0, 0, int(count), bgr.data());
                    to.sink->takePiece(int(y), bgr.data(), int(x), int(count));
                } else {
                    writer.write(cur + step, count, bgr.data(), 0, 1);
                    to.sink->takePiece(int(y), bgr.data(), int(x), int(count));
                }
                std::swap(prior, cur);
                done += n;
            }
            if (!progress.report(done, 2 * total))
                return kStopped;
        }
        for (uint32_t y = 0; y < p.height; ++y)
            rows[first + y].reset();
        first += p.height;
    }
    return kOk;
}

} // namespace brisvale::codec
