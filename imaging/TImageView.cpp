#include "imaging/TImageView.h"

#include "imaging/CodecBridge.h"
#include "imaging/CodecImage.h"
#include "imaging/DisplayDepth.h"
#include "imaging/FullSizeDecode.h"
#include "imaging/ShrinkingSink.h"
#include "imaging/StretchedRead.h"
#include "imaging/WindowCapture.h"
#include "imaging/codec/Codec.h"
#include "platform/DialogService.h"
#include "platform/HeldMessages.h"

#include <QApplication>
#include <QFile>
#include <algorithm>

namespace brisvale {

namespace {

void inform(const QString &text) { platform::dialogs().message(platform::MessageKind::Information, text); }

} // namespace

TImageView::TImageView(QWidget *parent) : TCustomImageView(parent), full_(std::make_unique<FullSizeDecode>()) {}

// The decode stops and is waited for before the control goes.
TImageView::~TImageView() { full_->reset(); }

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

// ---- pictures decoded as large as they are shown --------------------------

void TImageView::beforeLoad()
{
    ++fullGeneration_;
    full_->reset();
    turns_.clear();
}

bool TImageView::readReduced(const QString &path, const QString &ext, int depth, int dither, Bitmap &out,
                             QSize &fullSize)
{
    const std::optional<codec::FileKind> kind = CodecKindOf(ext);
    if (!shownSize_ || depth != 24 || !kind)
        return false;
    const std::string name = QFile::encodeName(path).toStdString();
    char type[6] = {};
    char format[26] = {};
    int16_t figures[5] = {};
    if (!codec::succeeded(codec::getFileInfo(name, type, figures, format)))
        return false;
    codec::Image image;
    codec::Palette palette;
    if (*kind != codec::FileKind::Jpg) {
        // The toolkit holds no row of more than 2^31 bits: a picture wider
        // than that (its width is told only up to 32767) is shown from its
        // rows shrunk as they come, and only it.
        if (figures[0] < 32767)
            return false;
        ShrinkingSink sink([this](QSize picture) {
            return rowFitsQImage(picture.width(), 24) ? QSize() : shownSize_(picture).expandedTo(QSize(1, 1));
        });
        if (!codec::succeeded(
                codec::readFileForBox(*kind, name, 24, dither, 1, 1, &sink, image, palette, readProgress())))
            return false; // read again as usual, which says what is wrong
        out.setColour(image.colour());
        out.setImage(sink.used() ? sink.result() : toQImage(std::move(image), palette));
        out.setPalette(toQtPalette(palette));
        if (out.isEmpty())
            return false;
        if (sink.used()) {
            fullSize = sink.pictureSize();
            full_->reset(path, dither, *kind);
        }
        return true;
    }
    if (figures[0] >= 32767 || figures[1] >= 32767)
        return false;
    const QSize full(figures[0], figures[1]);
    const QSize shown = shownSize_(full);
    // The decoder scales by eighths: worth it from half the size down.
    if (shown.isEmpty() || shown.width() * 2 > full.width() || shown.height() * 2 > full.height())
        return false;
    if (!codec::succeeded(codec::readFileForBox(codec::FileKind::Jpg, name, 24, dither, shown.width(), shown.height(),
                                                nullptr, image, palette, {})))
        return false; // read again as usual, which says what is wrong
    out.setColour(image.colour());
    out.setImage(toQImage(std::move(image), palette));
    if (out.isEmpty())
        return false;
    fullSize = full;
    full_->reset(path, dither);
    return true;
}

bool TImageView::needFullPicture()
{
    if (!picture_.reduced())
        return true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    adoptFullPicture(fullGeneration_);
    QApplication::restoreOverrideCursor();
    return !picture_.reduced();
}

void TImageView::adoptFullPicture(unsigned generation)
{
    if (generation != fullGeneration_ || !picture_.reduced() || !full_->pending())
        return;
    int status = 0;
    codec::ColourSpacePtr colour;
    Bitmap full;
    full.setImage(full_->take(status, colour));
    full.setColour(colour);
    if (full.isEmpty()) {
        // The reduced picture stays; the commands that need the whole one fail.
        ShowCodecError(status);
        return;
    }
    for (const auto turn : turns_)
        turn(full);
    turns_.clear();
    picture_.bitmap = full;
    picture_.fullSize = QSize();
    pictureChanged();
}

QString TImageView::ImageName() { return load(loadedName()); }

// ---- picture operations ---------------------------------------------------

void TImageView::transform(bool (*op)(Bitmap &), const QString &failure)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        // An icon or nothing becomes an empty bitmap first. A reduced
        // picture is turned as it is, and the full one when it comes.
        Bitmap temp = pictureAsBitmap();
        const QSize full = picture_.fullSize;
        picture_.clear();
        op(temp); // a failure has been reported by the bridge already
        if (!temp.isEmpty()) {
            picture_.kind = ViewPicture::Kind::Bitmap;
            picture_.bitmap = temp;
            if (full.isValid()) {
                picture_.fullSize = op == RotateBitmap ? full.transposed() : full;
                turns_.push_back(op);
            }
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
    if (!picture_.isEmpty() && zoom_.zoomIn(picture_.size())) {
        // Past the shown size the reduced decode has too few pixels: the
        // full picture is made meanwhile and replaces it when done.
        const QSize shown = drawingBox().size();
        const double scale = picture_.reduced() ? double(picture_.bitmap.image().width()) / picture_.size().width() : 1;
        if (picture_.reduced()
            && (zoom_.rect.width() * scale < shown.width() || zoom_.rect.height() * scale < shown.height()))
            full_->start([this, generation = fullGeneration_] {
                QMetaObject::invokeMethod(
                    this, [this, generation] { adoptFullPicture(generation); }, Qt::QueuedConnection);
            });
        repaint();
    }
}

void TImageView::ZoomOut()
{
    if (!picture_.isEmpty() && zoom_.zoomOut(picture_.size()))
        repaint();
}

bool TImageView::write(Writer writer, const QString &name)
{
    static const char *const kFailures[] = {"Writing bmp file failed", "Writing jpg file failed",
                                            "Writing gif file failed", "Writing pcx file failed"};
    // Why the file could not be written and that writing failed, in one box.
    const platform::OneMessageBox oneBox;
    try {
        // A picture shown reduced is written whole, or not at all.
        bool ok = needFullPicture();
        const Bitmap bitmap = pictureAsBitmap();
        if (!name.isEmpty())
            defSaveFilename_ = name;
        const int depth = writeDepth(writer);
        if (ok) {
            switch (writer) {
            case Writer::Bmp: ok = WriteBMPFile(defSaveFilename_, depth, bitmap, CodecProgress()); break;
            case Writer::Jpg:
                ok = WriteJPGFile(defSaveFilename_, jpegQuality_, jpegSmooth_, depth, bitmap, CodecProgress());
                break;
            case Writer::Gif: ok = WriteGIFFile(defSaveFilename_, depth, bitmap, CodecProgress()); break;
            case Writer::Pcx: ok = WritePCXFile(defSaveFilename_, depth, bitmap, CodecProgress()); break;
            }
        }
        if (!ok)
            inform(QLatin1String(kFailures[int(writer)]));
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
