#include "imaging/StretchedRead.h"

#include "imaging/BoxShrink.h"
#include "imaging/CodecBridge.h"
#include "imaging/CodecImage.h"
#include "imaging/ScreenColours.h"
#include "imaging/SharedPalette.h"
#include "imaging/ShrinkingSink.h"
#include "imaging/ViewGeometry.h"
#include "imaging/codec/Codec.h"
#include "imaging/codec/ColorReduce.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/HeldMessages.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <optional>

namespace brisvale {

namespace fs = platform::fs;

namespace {

using LibraryRead = int16_t (*)(const std::string &, int32_t, int32_t, codec::Image &, codec::Palette &,
                                const codec::Progress &, int32_t);

int16_t readJpgWhole(const std::string &name, int32_t depth, int32_t dither, codec::Image &image,
                     codec::Palette &palette, const codec::Progress &progress, int32_t)
{
    return codec::readJpgFile(name, depth, 1, dither, image, palette, progress, 0);
}

struct ReaderChoice {
    const char *ext;
    LibraryRead reader;
    codec::FileKind kind;
    const char *failure;
};

// The image control's readers and its words for their failures.
constexpr ReaderChoice kReaders[] = {
    {".BMP", codec::readBmpFile, codec::FileKind::Bmp, "Reading bmp file failed"},
    {".THB", codec::readBmpFile, codec::FileKind::Bmp, "Reading bmp file failed"},
    {".THJ", readJpgWhole, codec::FileKind::Jpg, "Reading jpg file failed"},
    {".PNG", codec::readPngFile, codec::FileKind::Png, "Reading png file failed"},
    {".GIF", codec::readGifFile, codec::FileKind::Gif, "Reading gif file failed"},
    {".TIF", codec::readTifFile, codec::FileKind::Tif, "Reading tif file failed"},
    {".PCX", codec::readPcxFile, codec::FileKind::Pcx, "Reading pcx file failed"},
    {".JPG", readJpgWhole, codec::FileKind::Jpg, "Reading jpg file failed"},
    // Told by the whole extension.
    {".WEBP", codec::readWebpFile, codec::FileKind::Webp, "Reading webp file failed"},
    {".AVIF", codec::readAvifFile, codec::FileKind::Avif, "Reading avif file failed"},
    {".HEIC", codec::readHeifFile, codec::FileKind::Heif, "Reading heic file failed"},
    {".HEIF", codec::readHeifFile, codec::FileKind::Heif, "Reading heic file failed"},
};

// Reads the picture; with a non-empty `cover` a JPEG may come out smaller and
// a true-colour picture that shrinks into it by area comes out shrunk already,
// straight from the decoded rows.
// The file named `path` read as it is found at `real` (where its kind is
// told by `path`'s extension).
BoxPicture readAt(const QString &path, const QString &real, int depth, bool dither, const QList<QRgb> &startPalette,
                  QSize cover, const std::function<void()> &rowsOnly = {})
{
    BoxPicture out;
    const QString ext = viewExtension(path);
    if (ext == QLatin1String(".ICO")) {
        out.bitmap.setImage(ReadIconFile(real));
        return out;
    }
    const QString whole = fs::upperAscii(fs::extensionOf(path));
    for (const ReaderChoice &choice : kReaders) {
        if (ext != QLatin1String(choice.ext) && whole != QLatin1String(choice.ext))
            continue;
        // A pipe or a device would keep the reader waiting; it is refused as
        // a file that cannot be opened.
        if (!QFileInfo(real).isFile()) {
            out.status = codec::kCannotOpen;
            out.failure = choice.failure;
            break;
        }
        try {
            codec::Image image;
            codec::Palette palette = toCodecPalette(startPalette);
            const std::string name = QFile::encodeName(real).toStdString();
            // Shrunk as the rows come when the control would shrink that
            // picture by area anyway (in one direction at least).
            ShrinkingSink sink(
                [cover](QSize picture) {
                    return ShrinksByArea(picture, cover, true) || ShrinksAcross(picture, cover) ? cover : QSize();
                },
                rowsOnly);
            if (!cover.isEmpty())
                out.status = codec::readFileForBox(choice.kind, name, depth, dither ? 1 : 0, cover.width(),
                                                   cover.height(), &sink, image, palette, codec::Progress());
            else
                out.status = choice.reader(name, depth, dither ? 1 : 0, image, palette, codec::Progress(), 0);
            out.bitmap.setColour(image.colour());
            QImage picture;
            if (sink.used()) {
                if (codec::succeeded(out.status))
                    picture = sink.result();
            } else if (const QSize size(image.width(), image.height());
                       !cover.isEmpty() && image.bits() == 24
                       && (ShrinksByArea(size, cover, true) || ShrinksAcross(size, cover))) {
                BoxShrinker shrinker(image.width(), image.height(), ShrinkTarget(size, cover));
                for (int y = 0; y < image.height(); ++y)
                    shrinker.addBgrRow(image.row(y));
                image.clear(); // one full-size copy at a time
                picture = ScaleToBox(shrinker.result(), cover, true);
            } else {
                const bool decoded = !image.empty();
                const int lost = handOverFailure(image);
                picture = toQImage(std::move(image), palette);
                if (decoded && picture.isNull() && codec::succeeded(out.status))
                    out.status = lost; // read, but not handed over
            }
            out.bitmap.setImage(picture);
            out.bitmap.setPalette(toQtPalette(palette));
            if (!codec::succeeded(out.status))
                out.bitmap.setColour(nullptr);
        } catch (const std::exception &) {
            out.bitmap.clear();
            out.raised = true;
        }
        if (!codec::succeeded(out.status))
            out.failure = choice.failure;
        break;
    }
    return out;
}

BoxPicture readFile(const QString &path, int depth, bool dither, const QList<QRgb> &startPalette, QSize cover,
                    const std::function<void()> &rowsOnly = {})
{
    if (!fs::fileExists(path))
        return {};
    return readAt(path, fs::resolve(path), depth, dither, startPalette, cover, rowsOnly);
}

} // namespace

QImage StretchToBox(const QImage &picture, QSize box, const QColor &background, bool smooth)
{
    QImage canvas(box, QImage::Format_RGB32);
    canvas.fill(background);
    if (picture.isNull() || box.isEmpty())
        return canvas;
    const QImage scaled = ScaleToBox(picture, box, smooth);
    QPainter p(&canvas);
    p.drawImage(0, 0, scaled);
    return canvas;
}

BoxPicture DecodeStretched(const QString &path, QSize box, int depth, bool dither, const QColor &background,
                           const QList<QRgb> &startPalette, bool reduced, const std::function<void()> &rowsOnly)
{
    // A box's few colours are chosen from the box itself: reducing the whole
    // picture first would cost as much as the picture is large.
    const bool fewColours = reduced && (depth == 0 || depth == 4 || depth == 8);
    BoxPicture out = readFile(path, fewColours ? 24 : depth, dither, startPalette, reduced ? box : QSize(), rowsOnly);
    const bool decoded = !out.bitmap.image().isNull();
    const QImage picture = out.bitmap.image();
    out.bitmap.setImage(QImage());
    QImage canvas = StretchToBox(picture, box, background, depth != 1);
    // Converted once it is the box's size: what is made here is stored, or
    // shown as any sRGB picture is.
    if (decoded)
        ConvertColours(canvas, out.bitmap.colour().get(), codec::ColourTarget::Srgb);
    out.bitmap.setColour(nullptr);
    if (fewColours && decoded) {
        codec::Image small;
        codec::Palette palette;
        codec::ReadOptions options;
        options.depth = depth;
        options.dither = dither;
        const codec::Palette start = toCodecPalette(startPalette);
        options.start = &start;
        if (fromQImage(canvas, {}, small, palette) == codec::kOk
            && codec::toDepth(small, palette, options) == codec::kOk) {
            out.bitmap.setPalette(toQtPalette(palette));
            canvas = toQImage(std::move(small), palette).convertToFormat(QImage::Format_RGB32);
        }
    }
    out.bitmap.setImage(canvas);
    return out;
}

void ReportRead(const BoxPicture &picture)
{
    if (picture.raised || !picture.failure)
        return;
    // The library's reason and the reader's words, in one box a file.
    const platform::OneMessageBox oneBox;
    ShowCodecError(picture.status);
    platform::dialogs().message(platform::MessageKind::Information, QLatin1String(picture.failure));
}

Bitmap ReadStretched(const QString &path, QSize box, int depth, bool dither, const QColor &background)
{
    const BoxPicture read = DecodeStretched(path, box, depth, dither, background, SharedPalette(), false);
    ReportRead(read);
    return read.bitmap;
}

std::optional<codec::FileKind> CodecKindOf(const QString &ext)
{
    for (const ReaderChoice &choice : kReaders)
        if (ext == QLatin1String(choice.ext))
            return choice.kind;
    return std::nullopt;
}

QImage ReadIconFile(const QString &path)
{
    // Icons are small; what is larger is not one to show.
    constexpr qint64 kMaximumIcon = qint64(16) << 20;
    QByteArray bytes = fs::readSmallFile(path, kMaximumIcon).value_or(QByteArray());
    QBuffer buffer(&bytes);
    return QImageReader(&buffer, "ico").read();
}

Bitmap ReadPicture(const QString &path, int depth, bool dither)
{
    BoxPicture read = readFile(path, depth, dither, SharedPalette(), QSize());
    ReportRead(read);
    return read.bitmap;
}

Bitmap ReadPictureOpened(int fd, const QString &path, int depth, bool dither)
{
    // The descriptor's own entry in the process's file table is opened
    // anew: it is that file whatever now stands at the name.
    BoxPicture read = readAt(path, QStringLiteral("/proc/self/fd/%1").arg(fd), depth, dither, SharedPalette(), QSize());
    ReportRead(read);
    return read.bitmap;
}

} // namespace brisvale
