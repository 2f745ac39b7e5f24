#include "imaging/codec/IsoBoxes.h"

#include <cstring>

namespace brisvale::codec {

const uint8_t *metaBox(const uint8_t *data, size_t size, size_t &length)
{
    uint64_t at = 0;
    while (size - at >= 8) {
        const uint64_t box = be32(data + at);
        if (box < 8 || box > size - at)
            return nullptr;
        if (std::memcmp(data + at + 4, "meta", 4) == 0) {
            length = size_t(box);
            return data + at;
        }
        at += box;
    }
    return nullptr;
}

bool cutShort(const uint8_t *data, size_t size)
{
    uint64_t at = 0;
    while (size - at >= 8) {
        const uint8_t *p = data + at;
        uint64_t box = be32(p);
        if (box == 0)
            return false; // the rest of the file
        if (box == 1) {
            if (size - at < 16)
                return true;
            box = 0;
            for (int i = 8; i < 16; ++i)
                box = (box << 8) | p[i];
        }
        if (box < 8)
            return false;
        if (box > size - at)
            return true;
        at += box;
    }
    return at != size;
}

} // namespace brisvale::codec
