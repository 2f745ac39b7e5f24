#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brisvale::codec {

class ByteSource;

// The box structure AVIF and HEIC files are built of.
inline uint64_t be32(const uint8_t *p)
{
    return (uint64_t(p[0]) << 24) | (uint64_t(p[1]) << 16) | (uint64_t(p[2]) << 8) | p[3];
}

// The file's first bytes, up to `most` of them: enough for its 'ftyp' box.
std::vector<uint8_t> fileHead(ByteSource &file, size_t most = 4096);

// The top-level 'meta' box, whole, where the pictures and their properties
// are described: kOk, with `meta` empty when the file has none, or kDamaged
// for one far longer than any real picture's.
int readMetaBox(ByteSource &file, std::vector<uint8_t> &meta);

// The largest canvas (by pixels) that a picture made of other pictures, a
// grid or an overlay, declares in its own data, found through the item
// infos, item locations and 'idat' of the 'meta' box: libheif sets such a
// canvas aside whole before it decodes a single tile, whatever the picture's
// header says. False when the file declares none.
bool largestDerivedCanvas(const std::vector<uint8_t> &meta, ByteSource &file, uint64_t &width, uint64_t &height);

// Whether a top-level box reaches past the end of the file: a file cut short
// says so, where the libraries often only find that they cannot parse it.
bool cutShort(ByteSource &file);

} // namespace brisvale::codec
