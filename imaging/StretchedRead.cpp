#include "imaging/StretchedRead.h"

#include "imaging/CodecBridge.h"
#include "imaging/ViewGeometry.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"

#include <QImageReader>
#include <QPainter>

namespace brisvale {

namespace fs = platform::fs;

namespace {

using Reader = bool (*)(const QString &, int, int, const CodecProgress &, Bitmap &);

struct ReaderChoice {
    const char *ext;
    Reader reader;
    const char *failure;
};

constexpr ReaderChoice kReaders[] = {
    {".BMP", ReadBMPFile, "Reading bmp file failed"}, {".THB", ReadBMPFile, "Reading bmp file failed"},
    {".THJ", ReadJPGFile, "Reading jpg file failed"}, {".PNG", ReadPNGFile, "Reading png file failed"},
    {".GIF", ReadGIFFile, "Reading gif file failed"}, {".TIF", ReadTIFFile, "Reading tif file failed"},
    {".PCX", ReadPCXFile, "Reading pcx file failed"}, {".JPG", ReadJPGFile, "Reading jpg file failed"},
};

} // namespace

QImage StretchToBox(const QImage &picture, QSize box, const QColor &background, bool smooth)
{
    QImage canvas(box, QImage::Format_RGB32);
    canvas.fill(background);
    if (picture.isNull() || box.isEmpty())
        return canvas;
    const QImage scaled = picture.size() == box
        ? picture
        : picture.scaled(box, Qt::IgnoreAspectRatio, smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
    QPainter p(&canvas);
    p.drawImage(0, 0, scaled);
    return canvas;
}

Bitmap ReadPicture(const QString &path, int depth, bool dither)
{
    Bitmap out;
    if (!fs::fileExists(path))
        return out;
    const QString real = fs::resolve(path);
    const QString ext = viewExtension(path);
    if (ext == QLatin1String(".ICO")) {
        out.setImage(QImageReader(real).read());
        return out;
    }
    for (const ReaderChoice &choice : kReaders) {
        if (ext != QLatin1String(choice.ext))
            continue;
        bool ok = false;
        try {
            ok = choice.reader(real, depth, dither ? 1 : 0, CodecProgress(), out);
        } catch (const std::exception &) {
            out.clear();
            ok = true; // raised errors show no words, as in the control
        }
        if (!ok)
            platform::dialogs().message(platform::MessageKind::Information, QLatin1String(choice.failure));
        break;
    }
    return out;
}

Bitmap ReadStretched(const QString &path, QSize box, int depth, bool dither, const QColor &background)
{
    Bitmap out = ReadPicture(path, depth, dither);
    out.setImage(StretchToBox(out.image(), box, background, depth != 1));
    return out;
}

} // namespace brisvale
