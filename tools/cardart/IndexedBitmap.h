#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

namespace brisvale::cardart {

// Maps every pixel of an opaque image to the nearest colour of the palette
// (no dithering: at 71 x 96 a dither reads as noise).
QImage quantize(const QImage &image, const QList<QRgb> &palette);

// Writes an indexed image as a Windows bitmap of 1 or 4 bits per pixel,
// bottom-up, rows padded to four bytes, with the palette in the header.
bool writeBmp(const QImage &indexed, int bitsPerPixel, const QString &path);

} // namespace brisvale::cardart
