#pragma once

#include "imaging/Bitmap.h"
#include "imaging/codec/Codec.h"

#include <QColor>
#include <QList>
#include <QRgb>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace brisvale {

// A picture file drawn stretched into a box, and how its reading went.
struct BoxPicture {
    Bitmap bitmap;                 // exactly the box, true colour; the read's palette beside it
    int status = 1;                // the codec's status (>= 1 success)
    const char *failure = nullptr; // the image control's words for a failed read
    bool raised = false;           // the reader raised an error: no words are shown
};

// What an image control of size `box` in Stretch mode shows after loading the
// picture file: the box in `background`, the picture drawn stretched over all
// of it. The file is read as the control reads it (kind by extension, colour
// depth code and dithering as given, 8-bit reads mapped onto `startPalette`).
// With `reduced`, a JPEG is decoded only as large as the box needs and the
// other kinds, where their rows come in order, are shrunk row by row;
// `rowsOnly` is then called once such a read needs no more than the file and
// a row of the picture at a time.
// Shows nothing and touches no window, so it may run on any thread.
BoxPicture DecodeStretched(const QString &path, QSize box, int depth, bool dither, const QColor &background,
                           const QList<QRgb> &startPalette, bool reduced, const std::function<void()> &rowsOnly = {});

// Reports a failed read as the control does: the library's text, then the
// control's own words. User-interface thread only.
void ReportRead(const BoxPicture &picture);

// DecodeStretched from the shared palette, reported at once.
Bitmap ReadStretched(const QString &path, QSize box, int depth, bool dither, const QColor &background);

// The picture itself as the control reads it (empty after a failure, which
// is reported as above).
Bitmap ReadPicture(const QString &path, int depth, bool dither);
// The same from a file opened already, named `path` (which tells its kind):
// what is read is that file, even when another now stands at the name.
Bitmap ReadPictureOpened(int fd, const QString &path, int depth, bool dither);

// The codec library's kind of picture for an image control's extension
// (".JPG", ".WEBP"), or none for the kinds it does not read.
std::optional<codec::FileKind> CodecKindOf(const QString &ext);

// An icon file read by the toolkit, from bytes read through a descriptor
// opened without waiting: a pipe or a device under the name gives a null
// image at once, whenever it was put there.
QImage ReadIconFile(const QString &path);

// The stretched drawing itself: the picture scaled to the box as the image
// control paints it (smooth unless it is read in black and white).
QImage StretchToBox(const QImage &picture, QSize box, const QColor &background, bool smooth);

} // namespace brisvale
