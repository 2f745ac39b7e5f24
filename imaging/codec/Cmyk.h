#pragma once

#include <cstddef>
#include <cstdint>

namespace brisvale::codec {

class ColourConversion;

// Every CMYK picture, JPEG or TIFF, gets its colours here, a band of rows at
// a time: `rows` rows of `width` pixels, four 8-bit samples each, into blue,
// green, red. `inverted` is the Adobe habit of storing 255 for no ink.
// `profile`, the conversion of the file's own ink profile to sRGB (made with
// the same habit), gives the colours where there is one; without, the inks
// are taken as ideal ones.
void cmykToBgr(const uint8_t *cmyk, size_t cmykStride, uint8_t *bgr, size_t bgrStride, int width, int rows,
               bool inverted, const ColourConversion *profile = nullptr);

} // namespace brisvale::codec
