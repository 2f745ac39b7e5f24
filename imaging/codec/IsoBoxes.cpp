#include "imaging/codec/IsoBoxes.h"

namespace brisvale::codec {

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
