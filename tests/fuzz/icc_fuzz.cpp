// Colour profiles from files, straight at the colour library: each input is
// taken as a picture's profile and as the screen's, and a ramp of colours is
// converted through every conversion it gives.
#include "imaging/codec/ColourSpace.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace brisvale::codec;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> pixels(256 * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 7);
    std::vector<uint8_t> out(256 * 4);
    using Layout = ColourConversion::Layout;
    const ColourSpacePtr space = ColourSpace::fromIcc(data, size);
    if (space && space->model() == ColourSpace::Model::Cmyk) {
        for (Layout layout : {Layout::Cmyk, Layout::CmykInverted})
            if (const auto c = conversionFor(space.get(), ColourTarget::Srgb, layout))
                c->convert(pixels.data(), out.data(), 256);
    } else if (space) {
        for (Layout layout : {Layout::Bgr, Layout::Bgrx})
            if (const auto c = conversionFor(space.get(), ColourTarget::Srgb, layout))
                c->convert(pixels.data(), pixels.data(), 256);
    }
    setScreenProfile(data, size);
    if (const auto c = conversionFor(nullptr, ColourTarget::Screen, Layout::Bgrx))
        c->convert(pixels.data(), pixels.data(), 256);
    setScreenProfile(nullptr, 0);
    // The code points a phone picture may give, from the input's first bytes.
    if (size >= 2) {
        const ColourSpacePtr cicp = ColourSpace::fromCicp({data[0], data[1]});
        if (const auto c = cicp ? conversionFor(cicp.get(), ColourTarget::Srgb, Layout::Bgr) : nullptr)
            c->convert(pixels.data(), pixels.data(), 256);
    }
    return 0;
}
