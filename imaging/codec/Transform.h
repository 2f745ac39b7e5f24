#pragma once

#include "imaging/codec/Image.h"

namespace brisvale::codec {

// Mirrors the picture top to bottom, in place.
void flipVertical(Image &image);
// Turns the picture a quarter turn clockwise.
int rotateClockwise(Image &image);
// Applies an EXIF orientation (1..8) so the picture stands upright.
int applyOrientation(Image &image, int orientation);

} // namespace brisvale::codec
