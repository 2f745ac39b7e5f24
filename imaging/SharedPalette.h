#pragma once

#include <QList>
#include <QRgb>

namespace brisvale {

// The one process-wide palette offered to every picture read (an 8-bit read
// maps onto it) and realised by every image control. Empty at start; the
// thumbnail previewer sets and clears it, the codec bridge only reads it.
const QList<QRgb> &SharedPalette();
void SetSharedPalette(const QList<QRgb> &palette);
void ClearSharedPalette();

} // namespace brisvale
