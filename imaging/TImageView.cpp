#include "imaging/TImageView.h"

#include "imaging/CodecBridge.h"
#include "imaging/DisplayDepth.h"
#include "imaging/WindowCapture.h"
#include "platform/DialogService.h"

#include <QApplication>
#include <algorithm>

namespace brisvale {

namespace {

void inform(const QString &text) { platform::dialogs().message(platform::MessageKind::Information, text); }

} // namespace

TImageView::TImageView(QWidget *parent) : TCustomImageView(parent) {}

TImageView::~TImageView() = default;

void TImageView::setJPegSaveQuality(int quality) { jpegQuality_ = (quality < 1 || quality > 100) ? 25 : quality; }

void TImageView::setJPegSaveSmooth(int smooth) { jpegSmooth_ = (smooth < 0 || smooth > 100) ? 5 : smooth; }

int TImageView::writeDepth(Writer writer) const
{
    const int w = int(writer);
    // Columns: BMP, JPEG, GIF, PCX; -1 the display's depth.
    static const int table[7][4] = {
        {0, 24, 0, 0}, {1, 1, 1, 1}, {4, 24, 4, 4}, {8, 24, 8, 8}, {24, 24, 8, 24}, {8, 1, 8, 8}, {-1, 24, -1, -1},
    };
    const int depth = table[int(writeRes_)][w];
    if (depth >= 0)
        return depth;
    const int display = DisplayColorDepth(this);
    return writer == Writer::Gif ? std::min(display, 8) : display;
}

void TImageView::setImageName(const QString &name) { load(name); }

QString TImageView::ImageName() { return load(loadedName()); }

// ---- picture operations ---------------------------------------------------

void TImageView::transform(bool (*op)(Bitmap &), const QString &failure)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        // An icon or nothing becomes an empty bitmap first.
        Bitmap temp = pictureAsBitmap();
        picture_.clear();
        op(temp); // a failure has been reported by the bridge already
        if (!temp.isEmpty()) {
            picture_.kind = ViewPicture::Kind::Bitmap;
            picture_.bitmap = temp;
        }
        // A zoomed picture stays zoomed by the same inset; after a quarter
        // turn the rectangle must follow the turned sides, or the picture is
        // drawn squeezed into the old ones. An inset too deep for the new
        // narrow side shows the whole picture.
        if (zoom_.zoomed) {
            const QSize size = picture_.size();
            zoom_.rect = QRect(zoom_.inset, zoom_.inset, size.width() - 2 * zoom_.inset,
                               size.height() - 2 * zoom_.inset);
            zoom_.zoomed = !zoom_.rect.isEmpty();
        }
        pictureChanged();
    } catch (const std::exception &) {
        QApplication::restoreOverrideCursor();
        inform(failure);
        return;
    }
    QApplication::restoreOverrideCursor();
}

void TImageView::FlipImage() { transform(FlipBitmap, QStringLiteral("Error flipping image")); }

void TImageView::RotateImage() { transform(RotateBitmap, QStringLiteral("Error rotating image")); }

void TImageView::ZoomIn()
{
    if (!picture_.isEmpty() && zoom_.zoomIn(picture_.size()))
        repaint();
}

void TImageView::ZoomOut()
{
    if (!picture_.isEmpty() && zoom_.zoomOut(picture_.size()))
        repaint();
}

bool TImageView::write(Writer writer, const QString &name)
{
    try {
        const Bitmap bitmap = pictureAsBitmap();
        if (!name.isEmpty())
            defSaveFilename_ = name;
        const int depth = writeDepth(writer);
        bool ok = false;
        const char *failure = "";
        switch (writer) {
        case Writer::Bmp:
            ok = WriteBMPFile(defSaveFilename_, depth, bitmap, CodecProgress());
            failure = "Writing bmp file failed";
            break;
        case Writer::Jpg:
            ok = WriteJPGFile(defSaveFilename_, jpegQuality_, jpegSmooth_, depth, bitmap, CodecProgress());
            failure = "Writing jpg file failed";
            break;
        case Writer::Gif:
            ok = WriteGIFFile(defSaveFilename_, depth, bitmap, CodecProgress());
            failure = "Writing gif file failed";
            break;
        case Writer::Pcx:
            ok = WritePCXFile(defSaveFilename_, depth, bitmap, CodecProgress());
            failure = "Writing pcx file failed";
            break;
        }
        if (!ok)
            inform(QLatin1String(failure));
        return ok;
    } catch (const std::exception &) {
        // Raised errors of the writers are dropped without a message.
        return false;
    }
}

bool TImageView::SaveAsBMP(const QString &name) { return write(Writer::Bmp, name); }

bool TImageView::SaveAsJPG(const QString &name) { return write(Writer::Jpg, name); }

bool TImageView::SaveAsGIF(const QString &name) { return write(Writer::Gif, name); }

bool TImageView::SaveAsPCX(const QString &name) { return write(Writer::Pcx, name); }

void TImageView::CaptureFromWindow(QWidget *window)
{
    Bitmap temp;
    CaptureWindow(window, temp);
    picture_.clear();
    if (!temp.isEmpty()) {
        picture_.kind = ViewPicture::Kind::Bitmap;
        picture_.bitmap = temp;
    }
    pictureChanged();
}

} // namespace brisvale
