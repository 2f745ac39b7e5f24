#pragma once

#include "imaging/codec/Image.h"

#include <QImage>
#include <QList>
#include <QRgb>

namespace brisvale {

// Moves pictures between the codec library's form and QImage.
QImage toQImage(const codec::Image &image, const codec::Palette &palette);
// Transparent parts are laid on white; indexed pictures keep their colour table.
codec::Image fromQImage(const QImage &image, const QList<QRgb> &palette, codec::Palette &outPalette);

codec::Palette toCodecPalette(const QList<QRgb> &palette);
QList<QRgb> toQtPalette(const codec::Palette &palette);

} // namespace brisvale
