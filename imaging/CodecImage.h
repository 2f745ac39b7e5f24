#pragma once

#include "imaging/codec/Image.h"

#include <QImage>
#include <QList>
#include <QRgb>

namespace brisvale {

// Moves pictures between the codec library's form and QImage.
// The picture's buffer becomes the QImage's (24 bits as Format_BGR888, the
// library's own byte order; 4 bits widened in place to a byte a pixel), so no
// second full-size copy is ever held. A null QImage comes back for an empty
// picture or when memory runs out.
QImage toQImage(codec::Image &&image, const codec::Palette &palette);
// The toolkit's pictures hold no row of more than 2^31 bits: a picture that
// toQImage cannot hand over for that reason is too wide to show, whatever
// memory there is. The status to report then (kTooLarge), else kOutOfMemory.
int handOverFailure(const codec::Image &image);
// True when the toolkit holds a row of `width` pixels of `bits` bits.
bool rowFitsQImage(int64_t width, int bits);
// Transparent parts are laid on white; indexed pictures keep their colour
// table. Answers kOk, kNoPicture for a null image, or the status that stopped
// the conversion (kTooLarge, kOutOfMemory).
int fromQImage(const QImage &image, const QList<QRgb> &palette, codec::Image &out, codec::Palette &outPalette);

codec::Palette toCodecPalette(const QList<QRgb> &palette);
QList<QRgb> toQtPalette(const codec::Palette &palette);

} // namespace brisvale
