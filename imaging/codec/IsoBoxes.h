#pragma once

#include <cstddef>
#include <cstdint>

namespace brisvale::codec {

// The box structure AVIF and HEIC files are built of.
inline uint64_t be32(const uint8_t *p)
{
    return (uint64_t(p[0]) << 24) | (uint64_t(p[1]) << 16) | (uint64_t(p[2]) << 8) | p[3];
}

// The top-level 'meta' box, where the pictures and their properties are
// described; its whole length in `length`, or nullptr when there is none.
const uint8_t *metaBox(const uint8_t *data, size_t size, size_t &length);

// The largest canvas (by pixels) that a picture made of other pictures, a
// grid or an overlay, declares in its own data, found through the item
// infos, item locations and 'idat' of the 'meta' box: libheif sets such a
// canvas aside whole before it decodes a single tile, whatever the picture's
// header says. False when the file declares none.
bool largestDerivedCanvas(const uint8_t *data, size_t size, uint64_t &width, uint64_t &height);

// Whether a top-level box reaches past the end of the file: a file cut short
// says so, where the libraries often only find that they cannot parse it.
bool cutShort(const uint8_t *data, size_t size);

} // namespace brisvale::codec
