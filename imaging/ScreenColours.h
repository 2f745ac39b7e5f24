#pragma once

#include "imaging/Bitmap.h"
#include "imaging/codec/ColourSpace.h"

#include <QImage>

namespace brisvale {

// Asks the display server for the screen's profile (the root window's
// _ICC_PROFILE, which colour-managed desktops set) and paints in it from then
// on; without one, or off X, pictures are painted in sRGB.
void LoadScreenProfile();

// Converts a picture from `colour` (null: sRGB) to the target in place: an
// indexed picture's colour table, any other picture's pixels (made 32-bit
// first). A picture that needs nothing is left as it is, shared or not.
void ConvertColours(QImage &image, const codec::ColourSpace *colour, codec::ColourTarget target);

// The bitmap's picture as sRGB, for what leaves the program (files, the
// clipboard): the picture itself when it is sRGB already, else a copy.
QImage SrgbImage(const Bitmap &bitmap);

} // namespace brisvale
