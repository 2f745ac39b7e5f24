#include "imaging/codec/IsoBoxes.h"

#include "imaging/codec/ByteSource.h"
#include "imaging/codec/Status.h"

#include <algorithm>
#include <cstring>

namespace brisvale::codec {

std::vector<uint8_t> fileHead(ByteSource &file, size_t most)
{
    std::vector<uint8_t> head(size_t(std::min<uint64_t>(most, file.size())));
    head.resize(file.read(0, head.data(), head.size()));
    return head;
}

int readMetaBox(ByteSource &file, std::vector<uint8_t> &meta)
{
    // Item lists and properties take kilobytes; the libraries would read a
    // longer one whole as well.
    constexpr uint64_t kLongestMeta = uint64_t(64) << 20;
    meta.clear();
    uint64_t at = 0;
    while (file.left(at) >= 8) {
        const uint8_t *head = file.at(at, 8);
        if (!head)
            break;
        const uint64_t box = be32(head);
        if (box < 8 || box > file.left(at))
            break;
        if (std::memcmp(head + 4, "meta", 4) == 0) {
            if (box > kLongestMeta)
                return kDamaged;
            meta.resize(size_t(box));
            if (file.read(at, meta.data(), meta.size()) != meta.size())
                meta.clear(); // cut short while read: the parse says so
            return kOk;
        }
        at += box;
    }
    return kOk;
}

namespace {

// Bytes of a box read from the front, every read checked against its end.
class Reader {
public:
    Reader(const uint8_t *p, size_t n) : p_(p), end_(p + n) {}
    bool ok() const { return ok_; }
    size_t left() const { return size_t(end_ - p_); }
    const uint8_t *here() const { return p_; }
    uint64_t number(size_t bytes)
    {
        if (bytes > left()) {
            ok_ = false;
            p_ = end_;
            return 0;
        }
        uint64_t v = 0;
        for (size_t i = 0; i < bytes; ++i)
            v = (v << 8) | *p_++;
        return v;
    }

private:
    const uint8_t *p_, *end_;
    bool ok_ = true;
};

struct Box {
    const uint8_t *body = nullptr; // after the size and the type
    size_t length = 0;
};

// The child boxes of a box body: each found by its type, the first of each.
Box childBox(const uint8_t *body, size_t length, const char *type)
{
    size_t at = 0;
    while (length - at >= 8) {
        const uint64_t box = be32(body + at);
        if (box < 8 || box > length - at)
            return {};
        if (std::memcmp(body + at + 4, type, 4) == 0)
            return {body + at + 8, size_t(box - 8)};
        at += size_t(box);
    }
    return {};
}

} // namespace

bool largestDerivedCanvas(const std::vector<uint8_t> &meta, ByteSource &file, uint64_t &width, uint64_t &height)
{
    if (meta.size() < 12)
        return false;
    // 'meta' is a full box: its children follow the version and flags.
    const uint8_t *children = meta.data() + 12;
    const size_t childrenLength = meta.size() - 12;
    const Box iinf = childBox(children, childrenLength, "iinf");
    const Box iloc = childBox(children, childrenLength, "iloc");
    const Box idat = childBox(children, childrenLength, "idat");
    if (!iinf.body || !iloc.body)
        return false;

    // The items that are grids or overlays.
    std::vector<std::pair<uint64_t, bool>> derived; // item, whether an overlay
    {
        Reader r(iinf.body, iinf.length);
        const uint64_t version = r.number(1);
        r.number(3);
        const uint64_t count = r.number(version == 0 ? 2 : 4);
        const Box entries{r.here(), r.left()};
        size_t at = 0;
        for (uint64_t i = 0; i < count && entries.length - at >= 8; ++i) {
            const uint64_t box = be32(entries.body + at);
            if (box < 8 || box > entries.length - at)
                break;
            Reader e(entries.body + at + 8, size_t(box - 8));
            at += size_t(box);
            if (std::memcmp(entries.body + at - box + 4, "infe", 4) != 0)
                continue;
            const uint64_t infeVersion = e.number(1);
            e.number(3);
            if (infeVersion < 2)
                continue;
            const uint64_t item = e.number(infeVersion == 2 ? 2 : 4);
            e.number(2);
            if (e.left() < 4)
                continue;
            const bool grid = std::memcmp(e.here(), "grid", 4) == 0;
            const bool overlay = std::memcmp(e.here(), "iovl", 4) == 0;
            if (e.ok() && (grid || overlay) && derived.size() < 1024)
                derived.emplace_back(item, overlay);
        }
    }
    if (derived.empty())
        return false;

    // Where each one's data lies, and the canvas it declares.
    bool found = false;
    Reader r(iloc.body, iloc.length);
    const uint64_t version = r.number(1);
    r.number(3);
    const uint64_t sizes = r.number(1), more = r.number(1);
    const size_t offsetSize = size_t(sizes >> 4), lengthSize = size_t(sizes & 15), baseSize = size_t(more >> 4);
    const size_t indexSize = version == 1 || version == 2 ? size_t(more & 15) : 0;
    const uint64_t items = r.number(version < 2 ? 2 : 4);
    for (uint64_t i = 0; i < items && r.ok(); ++i) {
        const uint64_t item = r.number(version < 2 ? 2 : 4);
        const uint64_t method = version == 1 || version == 2 ? r.number(2) & 15 : 0;
        r.number(2);
        const uint64_t base = r.number(baseSize);
        // Extents of no bytes at all are all the same one.
        const uint64_t extents = indexSize + offsetSize + lengthSize ? r.number(2) : std::min<uint64_t>(r.number(2), 1);
        // The first 20 bytes of the item's data, gathered from its extents.
        uint8_t head[20];
        size_t have = 0;
        bool readable = method == 0 || (method == 1 && idat.body);
        for (uint64_t k = 0; k < extents && r.ok(); ++k) {
            r.number(indexSize);
            const uint64_t offset = base + r.number(offsetSize);
            uint64_t length = r.number(lengthSize);
            const uint64_t limit = method == 0 ? file.size() : idat.length;
            if (!readable || offset > limit) {
                readable = false;
                continue;
            }
            if (length == 0 || length > limit - offset)
                length = limit - offset; // to the end, as a length of 0 says
            const size_t n = size_t(std::min<uint64_t>(length, sizeof head - have));
            if (method == 0)
                have += file.read(offset, head + have, n);
            else {
                std::memcpy(head + have, idat.body + offset, n);
                have += n;
            }
        }
        const auto it = std::find_if(derived.begin(), derived.end(), [&](const auto &d) { return d.first == item; });
        if (!r.ok() || !readable || it == derived.end())
            continue;
        // grid: version, flags, rows and columns less one; iovl: version,
        // flags, four 16-bit fill values. Then the canvas, 16 or 32 bits a side.
        Reader d(head, have);
        d.number(1);
        const bool wide = (d.number(1) & 1) != 0;
        d.number(it->second ? 8 : 2);
        const uint64_t w = d.number(wide ? 4 : 2), h = d.number(wide ? 4 : 2);
        if (d.ok() && (!found || w * h > width * height)) {
            width = w;
            height = h;
            found = true;
        }
    }
    return found;
}

bool cutShort(ByteSource &file)
{
    uint64_t at = 0;
    while (file.left(at) >= 8) {
        const uint64_t left = file.left(at);
        const uint8_t *p = file.at(at, size_t(std::min<uint64_t>(left, 16)));
        if (!p)
            return true; // shorter now than when it was opened
        uint64_t box = be32(p);
        if (box == 0)
            return false; // the rest of the file
        if (box == 1) {
            if (left < 16)
                return true;
            box = 0;
            for (int i = 8; i < 16; ++i)
                box = (box << 8) | p[i];
        }
        if (box < 8)
            return false;
        if (box > left)
            return true;
        at += box;
    }
    return at != file.size();
}

} // namespace brisvale::codec
