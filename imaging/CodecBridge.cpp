#include "imaging/CodecBridge.h"

#include "imaging/CodecImage.h"
#include "imaging/DisplayDepth.h"
#include "imaging/ScreenColours.h"
#include "imaging/SharedPalette.h"
#include "imaging/codec/Codec.h"
#include "imaging/codec/ColourSpace.h"
#include "platform/DialogService.h"

#include <QFile>
#include <system_error>

namespace brisvale {

namespace {

// Names reach the library whole, however long.
std::string encodeName(const QString &name) { return QFile::encodeName(name).toStdString(); }

bool answer(int status)
{
    if (codec::succeeded(status))
        return true;
    ShowCodecError(status);
    return false;
}

using LibraryRead = int16_t (*)(const std::string &, int32_t, int32_t, codec::Image &, codec::Palette &,
                                const codec::Progress &, int32_t);

// Gives the target what a read returned. A picture the library read but that
// could not be handed over (memory ran out) is a failure with its own text,
// never a success with an empty picture.
bool deliver(int status, codec::Image &image, const codec::Palette &palette, Bitmap &target)
{
    const bool hadPicture = !image.empty();
    target.setColour(image.colour());
    const int lost = hadPicture ? handOverFailure(image) : int(codec::kFailed);
    target.setImage(toQImage(std::move(image), palette));
    target.setPalette(toQtPalette(palette));
    if (codec::succeeded(status) && (!hadPicture || target.isEmpty())) {
        target.clear();
        status = lost;
    }
    return answer(status);
}

bool read(LibraryRead call, const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target)
{
    codec::Image image;
    codec::Palette palette = toCodecPalette(SharedPalette());
    const int status = call(encodeName(name), depth, dither, image, palette, progress, 0);
    return deliver(status, image, palette, target);
}

// A file that could not be made says where and why, after the library's words.
bool answerWrite(int status, const QString &name)
{
    if (status != codec::kCannotWrite)
        return answer(status);
    QString text = QString::fromUtf8(codec::statusText(int16_t(status))) + u'\n' + name;
    if (const int error = codec::lastWriteError())
        text += u'\n' + QString::fromStdString(std::generic_category().message(error));
    platform::dialogs().message(platform::MessageKind::Error, text);
    return false;
}

using LibraryWrite = int16_t (*)(const std::string &, int32_t, const codec::Image &, const codec::Palette &,
                                 const codec::Progress &, int32_t);

// The picture as it is written: files hold sRGB and carry no profile. A
// picture that cannot be converted says why, not "There is no picture".
int toWrite(const Bitmap &source, codec::Image &image, codec::Palette &palette)
{
    const int rc = fromQImage(source.image(), source.palette(), image, palette);
    if (rc == codec::kOk) {
        image.setColour(source.colour());
        codec::convertColours(image, palette, codec::ColourTarget::Srgb);
    }
    return rc;
}

bool write(LibraryWrite call, const QString &name, int depth, const Bitmap &source, const CodecProgress &progress)
{
    codec::Palette palette;
    codec::Image image;
    if (const int rc = toWrite(source, image, palette); rc != codec::kOk)
        return answer(rc);
    return answerWrite(call(encodeName(name), depth, image, palette, progress, 0), name);
}

using LibraryTransform = int16_t (*)(int32_t, codec::Image &, codec::Palette &, int32_t);

bool transform(LibraryTransform call, Bitmap &bitmap)
{
    codec::Palette palette;
    codec::Image image;
    if (const int rc = fromQImage(bitmap.image(), bitmap.palette(), image, palette); rc != codec::kOk)
        return answer(rc);
    const int status = call(FocusDisplayColorDepth(), image, palette, 0);
    // A turned picture keeps the colours its file gave it.
    image.setColour(bitmap.colour());
    return deliver(status, image, palette, bitmap);
}

} // namespace

bool LoadCodecLibrary()
{
    ClearSharedPalette();
    LoadScreenProfile();
    return codec::succeeded(codec::initialise());
}

bool ReadBMPFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target)
{
    return read(codec::readBmpFile, name, depth, dither, progress, target);
}

bool ReadJPGFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target)
{
    codec::Image image;
    codec::Palette palette = toCodecPalette(SharedPalette());
    const int status = codec::readJpgFile(encodeName(name), depth, 1, dither, image, palette, progress, 0);
    return deliver(status, image, palette, target);
}

bool ReadGIFFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target)
{
    return read(codec::readGifFile, name, depth, dither, progress, target);
}

bool ReadTIFFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target)
{
    return read(codec::readTifFile, name, depth, dither, progress, target);
}

bool ReadPCXFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target)
{
    return read(codec::readPcxFile, name, depth, dither, progress, target);
}

bool ReadPNGFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target)
{
    return read(codec::readPngFile, name, depth, dither, progress, target);
}

bool ReadWEBPFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target)
{
    return read(codec::readWebpFile, name, depth, dither, progress, target);
}

bool ReadAVIFFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target)
{
    return read(codec::readAvifFile, name, depth, dither, progress, target);
}

bool ReadHEICFile(const QString &name, int depth, int dither, const CodecProgress &progress, Bitmap &target)
{
    return read(codec::readHeifFile, name, depth, dither, progress, target);
}

bool WriteBMPFile(const QString &name, int depth, const Bitmap &source, const CodecProgress &progress)
{
    return write(codec::writeBmpFile, name, depth, source, progress);
}

bool WriteGIFFile(const QString &name, int depth, const Bitmap &source, const CodecProgress &progress)
{
    return write(codec::writeGifFile, name, depth, source, progress);
}

bool WritePCXFile(const QString &name, int depth, const Bitmap &source, const CodecProgress &progress)
{
    return write(codec::writePcxFile, name, depth, source, progress);
}

bool WriteJPGFile(const QString &name, int quality, int smoothing, int depth, const Bitmap &source,
                  const CodecProgress &progress)
{
    codec::Palette palette;
    codec::Image image;
    if (const int rc = toWrite(source, image, palette); rc != codec::kOk)
        return answer(rc);
    return answerWrite(codec::writeJpgFile(encodeName(name), quality, smoothing, depth, image, palette, progress, 0),
                       name);
}

bool WriteBMPTo(int descriptor, int depth, const Bitmap &source, const CodecProgress &progress)
{
    codec::Palette palette;
    codec::Image image;
    if (const int rc = fromQImage(source.image(), source.palette(), image, palette); rc != codec::kOk)
        return answer(rc);
    return answer(codec::writeBmpDescriptor(descriptor, depth, image, palette, progress));
}

bool WriteJPGTo(int descriptor, int quality, int smoothing, int depth, const Bitmap &source,
                const CodecProgress &progress)
{
    codec::Palette palette;
    codec::Image image;
    if (const int rc = fromQImage(source.image(), source.palette(), image, palette); rc != codec::kOk)
        return answer(rc);
    return answer(codec::writeJpgDescriptor(descriptor, quality, smoothing, depth, image, palette, progress));
}

bool FlipBitmap(Bitmap &bitmap) { return transform(codec::flipBitmap, bitmap); }

bool RotateBitmap(Bitmap &bitmap) { return transform(codec::rotateBitmap, bitmap); }

bool GetFileInfo(const QString &name, QString &fileType, std::array<int, 5> &figures, QString &formatName)
{
    char type[6] = {};
    char format[26] = {};
    int16_t numbers[5] = {};
    const int status = codec::getFileInfo(encodeName(name), type, numbers, format, 0);
    fileType = QString::fromLatin1(type);
    formatName = QString::fromLatin1(format);
    for (size_t i = 0; i < figures.size(); ++i)
        figures[i] = numbers[i];
    return answer(status);
}

void ShowCodecError(int status)
{
    platform::dialogs().message(platform::MessageKind::Error, QString::fromUtf8(codec::statusText(int16_t(status))));
}

} // namespace brisvale
