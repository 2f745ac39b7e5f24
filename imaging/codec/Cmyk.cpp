#include "imaging/codec/Cmyk.h"

#include "imaging/codec/ColourSpace.h"

namespace brisvale::codec {

void cmykToBgr(const uint8_t *cmyk, size_t cmykStride, uint8_t *bgr, size_t bgrStride, int width, int rows,
               bool inverted, const ColourConversion *profile)
{
    if (profile) {
        for (int y = 0; y < rows; ++y, cmyk += cmykStride, bgr += bgrStride)
            profile->convert(cmyk, bgr, size_t(width));
        return;
    }
    // Stored as ink: what is left of each colour is its share not inked,
    // times the share not blackened.
    const int flip = inverted ? 0 : 255;
    for (int y = 0; y < rows; ++y, cmyk += cmykStride, bgr += bgrStride) {
        const uint8_t *s = cmyk;
        uint8_t *d = bgr;
        for (int x = 0; x < width; ++x, s += 4, d += 3) {
            const int k = s[3] ^ flip;
            d[0] = uint8_t((s[2] ^ flip) * k / 255);
            d[1] = uint8_t((s[1] ^ flip) * k / 255);
            d[2] = uint8_t((s[0] ^ flip) * k / 255);
        }
    }
}

} // namespace brisvale::codec
