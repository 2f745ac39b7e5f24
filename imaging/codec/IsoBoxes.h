#pragma once

#include <cstddef>
#include <cstdint>

namespace brisvale::codec {

// The box structure AVIF and HEIC files are built of.
inline uint64_t be32(const uint8_t *p)
{
    return (uint64_t(p[0]) << 24) | (uint64_t(p[1]) << 16) | (uint64_t(p[2]) << 8) | p[3];
}

// Whether a top-level box reaches past the end of the file: a file cut short
// says so, where the libraries often only find that they cannot parse it.
bool cutShort(const uint8_t *data, size_t size);

} // namespace brisvale::codec
