#pragma once

#include "imaging/Bitmap.h"

#include <QString>
#include <array>
#include <functional>

namespace brisvale {

// Told the progress in percent; answers non-zero to go on, zero to stop. An
// empty function means no progress callback.
using CodecProgress = std::function<int32_t(int32_t)>;

// Binds the codec library, empties the shared palette and learns the screen's
// colour profile; called once at start-up, before the game window is made.
bool LoadCodecLibrary();

// Each call below goes to the codec library. Reads start from the shared
// palette and give the target the returned picture and palette whatever the
// status (a failed read leaves it empty); a failure shows the library's own
// text in an error box and answers false.
bool ReadBMPFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target);
bool ReadJPGFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target);
bool ReadGIFFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target);
bool ReadTIFFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target);
bool ReadPCXFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target);
bool ReadPNGFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target);
bool ReadWEBPFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target);
bool ReadAVIFFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target);
bool ReadHEICFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target);

bool WriteBMPFile(const QString &name, int depth, const Bitmap &source, const CodecProgress &progress);
bool WriteGIFFile(const QString &name, int depth, const Bitmap &source, const CodecProgress &progress);
bool WritePCXFile(const QString &name, int depth, const Bitmap &source, const CodecProgress &progress);
// depth 1 writes grey, 24 colour.
bool WriteJPGFile(const QString &name, int quality, int smoothing, int depth, const Bitmap &source,
                  const CodecProgress &progress);
// The same into a file the caller opened and puts in place itself (nothing is
// renamed or synced: what is written this way can be made again).
bool WriteBMPTo(int descriptor, int depth, const Bitmap &source, const CodecProgress &progress);
bool WriteJPGTo(int descriptor, int quality, int smoothing, int depth, const Bitmap &source,
                const CodecProgress &progress);

// Flip mirrors the picture top to bottom; Rotate turns it a quarter turn clockwise.
bool FlipBitmap(Bitmap &bitmap);
bool RotateBitmap(Bitmap &bitmap);

// figures: width, height, bits per pixel, palette colours (0: none), pictures
// in the file. Outputs are assigned whatever the status.
bool GetFileInfo(const QString &name, QString &fileType, std::array<int, 5> &figures, QString &formatName);

// Shows the library's text for a status in an error box with one OK button.
void ShowCodecError(int status);

} // namespace brisvale
