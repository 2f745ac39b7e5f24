#include "imaging/codec/Transform.h"

#include "imaging/codec/Status.h"

#include <cstring>
#include <vector>

namespace brisvale::codec {

namespace {

void mirrorHorizontal(Image &image)
{
    const int w = image.width();
    for (int y = 0; y < image.height(); ++y) {
        if (image.bits() == 24) {
            uint8_t *r = image.row(y);
            for (int a = 0, b = w - 1; a < b; ++a, --b)
                for (int k = 0; k < 3; ++k)
                    std::swap(r[3 * a + k], r[3 * b + k]);
        } else {
            for (int a = 0, b = w - 1; a < b; ++a, --b) {
                const int va = image.index(a, y), vb = image.index(b, y);
                image.setIndex(a, y, vb);
                image.setIndex(b, y, va);
            }
        }
    }
}

// out(x, y) = in(map(x, y)) for a picture whose sides are swapped.
template <typename Map>
int remapSwapped(Image &image, Map map)
{
    Image out;
    const int rc = Image::create(image.height(), image.width(), image.bits(), out);
    if (rc != kOk)
        return rc;
    for (int y = 0; y < out.height(); ++y) {
        if (image.bits() == 24) {
            uint8_t *dst = out.row(y);
            for (int x = 0; x < out.width(); ++x, dst += 3) {
                int sx, sy;
                map(x, y, sx, sy);
                std::memcpy(dst, image.row(sy) + 3 * size_t(sx), 3);
            }
        } else {
            for (int x = 0; x < out.width(); ++x) {
                int sx, sy;
                map(x, y, sx, sy);
                out.setIndex(x, y, image.index(sx, sy));
            }
        }
    }
    image = std::move(out);
    return kOk;
}

} // namespace

void flipVertical(Image &image)
{
    std::vector<uint8_t> tmp(image.stride());
    for (int a = 0, b = image.height() - 1; a < b; ++a, --b) {
        std::memcpy(tmp.data(), image.row(a), image.stride());
        std::memcpy(image.row(a), image.row(b), image.stride());
        std::memcpy(image.row(b), tmp.data(), image.stride());
    }
}

int rotateClockwise(Image &image)
{
    const int h = image.height();
    return remapSwapped(image, [h](int x, int y, int &sx, int &sy) {
        sx = y;
        sy = h - 1 - x;
    });
}

int applyOrientation(Image &image, int orientation)
{
    const int w = image.width(), h = image.height();
    switch (orientation) {
    case 2: mirrorHorizontal(image); return kOk;
    case 3:
        flipVertical(image);
        mirrorHorizontal(image);
        return kOk;
    case 4: flipVertical(image); return kOk;
    case 5:
        return remapSwapped(image, [](int x, int y, int &sx, int &sy) {
            sx = y;
            sy = x;
        });
    case 6: return rotateClockwise(image);
    case 7:
        return remapSwapped(image, [w, h](int x, int y, int &sx, int &sy) {
            sx = w - 1 - y;
            sy = h - 1 - x;
        });
    case 8:
        return remapSwapped(image, [w](int x, int y, int &sx, int &sy) {
            sx = w - 1 - y;
            sy = x;
        });
    default: return kOk;
    }
}

} // namespace brisvale::codec
