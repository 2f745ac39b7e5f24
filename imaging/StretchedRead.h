#pragma once

#include "imaging/Bitmap.h"

#include <QColor>
#include <QSize>
#include <QString>

namespace brisvale {

// What an image control of size `box` in Stretch mode shows after loading the
// picture file: the box in `background`, the picture drawn stretched over all
// of it. The file is read as the control reads it (kind by extension, colour
// depth code and dithering as given, starting from the shared palette) and a
// failure is reported in the control's own words, leaving the empty box.
// The answer is a true-colour bitmap of exactly `box`; its palette is the one
// the read handed back.
Bitmap ReadStretched(const QString &path, QSize box, int depth, bool dither, const QColor &background);

// The picture itself as the control reads it (empty after a failure, which
// is reported as above).
Bitmap ReadPicture(const QString &path, int depth, bool dither);

// The stretched drawing itself: the picture scaled to the box as the image
// control paints it (smooth unless it is read in black and white).
QImage StretchToBox(const QImage &picture, QSize box, const QColor &background, bool smooth);

} // namespace brisvale
