#include "imaging/TCustomImageView.h"

#include "imaging/BoxShrink.h"

#include "imaging/CodecBridge.h"
#include "imaging/DisplayDepth.h"
#include "imaging/ImageViewAccessible.h"
#include "imaging/ResourceBitmap.h"
#include "imaging/ScreenColours.h"
#include "imaging/SharedPalette.h"
#include "imaging/StretchedRead.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/HeldMessages.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace brisvale {

namespace fs = platform::fs;

namespace {

const QEvent::Type kHorizontalStepEvent = QEvent::Type(QEvent::User + TCustomImageView::kHorizontalStep);
const QEvent::Type kVerticalStepEvent = QEvent::Type(QEvent::User + TCustomImageView::kVerticalStep);

QColor fromColorRef(int value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

void inform(const QString &text) { platform::dialogs().message(platform::MessageKind::Information, text); }

// Bits per pixel of a bitmap in its device-independent form.
int storedBits(const QImage &image)
{
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
        return 1;
    if (image.format() == QImage::Format_Indexed8)
        return image.colorCount() <= 16 ? 4 : 8;
    return 24;
}

using Reader = bool (*)(const QString &, int, int, const CodecProgress &, Bitmap &);

struct ReaderChoice {
    const char *ext;
    Reader reader; // nullptr: the program's bitmap resources
    const char *failure;
    bool preview = false; // the previewer's own small files
};

// Tested in this order.
constexpr ReaderChoice kReaders[] = {
    {".BMP", ReadBMPFile, "Reading bmp file failed"},
    {".THB", ReadBMPFile, "Reading bmp file failed", true},
    {".THJ", ReadJPGFile, "Reading jpg file failed", true},
    {".RES", nullptr, "Reading resource file failed"},
    {".PNG", ReadPNGFile, "Reading png file failed"},
    {".GIF", ReadGIFFile, "Reading gif file failed"},
    {".TIF", ReadTIFFile, "Reading tif file failed"},
    {".PCX", ReadPCXFile, "Reading pcx file failed"},
    {".JPG", ReadJPGFile, "Reading jpg file failed"},
    // Told by the whole extension: ".AVIF" is no ".AVI".
    {".WEBP", ReadWEBPFile, "Reading webp file failed"},
    {".AVIF", ReadAVIFFile, "Reading avif file failed"},
    {".HEIC", ReadHEICFile, "Reading heic file failed"},
    {".HEIF", ReadHEICFile, "Reading heic file failed"},
};

} // namespace

QSize ViewPicture::size() const
{
    switch (kind) {
    case Kind::Bitmap: return fullSize.isValid() ? fullSize : bitmap.image().size();
    case Kind::Icon: return icon.size();
    case Kind::None: break;
    }
    return QSize(0, 0); // an empty picture, where an invalid size would read as -1 x -1
}

TCustomImageView::TCustomImageView(QWidget *parent) : QWidget(parent)
{
    ImageViewAccessible::install();
    resize(105, 105);
    color_ = palette().color(QPalette::Button);
    setFocusPolicy(Qt::ClickFocus);
}

TCustomImageView::~TCustomImageView() = default;

// ---- properties ---------------------------------------------------------

template <typename T>
void TCustomImageView::assignAndRepaint(T &field, const T &value)
{
    if (field != value) {
        field = value;
        update();
    }
}

void TCustomImageView::setAutoSize(bool on)
{
    autoSize_ = on;
    pictureChanged();
}

void TCustomImageView::setCenter(bool on) { assignAndRepaint(center_, on); }

void TCustomImageView::setBorderStyle(TBorderStyle style)
{
    border_ = style;
    update();
}

void TCustomImageView::setPicture(const ViewPicture &picture)
{
    picture_ = picture;
    pictureChanged();
}

void TCustomImageView::setCodecPalette(bool on)
{
    codecPalette_ = on;
    update();
}

void TCustomImageView::setStretch(bool on)
{
    if (stretch_ == on)
        return;
    stretch_ = on;
    if (on)
        stretchRatio_ = false;
    update();
}

void TCustomImageView::setStretchRatio(bool on)
{
    if (stretchRatio_ == on)
        return;
    stretchRatio_ = on;
    if (on)
        stretch_ = false;
    update();
}

void TCustomImageView::setColor(const QColor &color)
{
    color_ = color;
    update();
}

void TCustomImageView::setText(const QString &text) { assignAndRepaint(text_, text); }

void TCustomImageView::setTextShadow(bool on) { assignAndRepaint(textShadow_, on); }

void TCustomImageView::setTextLeft(int left) { assignAndRepaint(textLeft_, left); }

void TCustomImageView::setTextTop(int top) { assignAndRepaint(textTop_, top); }

void TCustomImageView::setTextRotate(int degrees) { assignAndRepaint(textRotate_, degrees); }

void TCustomImageView::setTextTransParent(bool on) { assignAndRepaint(textTransparent_, on); }

int TCustomImageView::readDepth() const
{
    switch (readRes_) {
    case TLoadResolution::lColorVga: return 0;
    case TLoadResolution::lMonoChrome: return 1;
    case TLoadResolution::lColor16: return 4;
    case TLoadResolution::lColor256: return 8;
    case TLoadResolution::lColorTrue: return 24;
    case TLoadResolution::lAutoMatic: break;
    }
    return DisplayColorDepth(this);
}

// ---- loading ------------------------------------------------------------

QString TCustomImageView::kindOf(const QString &name) const { return viewExtension(name); }

bool TCustomImageView::showsKind(const QString &name) const
{
    const QString ext = kindOf(name);
    const QString whole = fs::upperAscii(fs::extensionOf(name));
    for (const char *other : {".SCM", ".CMS", ".WMF", ".ICO"})
        if (ext == QLatin1String(other))
            return true;
    return std::any_of(std::begin(kReaders), std::end(kReaders), [&](const ReaderChoice &choice) {
        return (ext == QLatin1String(choice.ext) || whole == QLatin1String(choice.ext))
               && (readsPreviews() || !choice.preview);
    });
}

QString TCustomImageView::load(const QString &name)
{
    // The reader, the failed read and the file's details may each say what
    // is wrong with a damaged file: the player is told once.
    const platform::OneMessageBox oneBox;
    beforeLoad();
    name_ = name;
    // The control is named by its file, loaded or not.
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    zoom_.zoomed = false;
    const QString ext = kindOf(name);

    if (ext != QLatin1String(".RES") && !fs::fileExists(name)) {
        picture_.clear();
        pictureChanged();
        status_ = QStringLiteral("file not found");
        return status_;
    }
    const QString path = ext == QLatin1String(".RES") ? name : fs::resolve(name);
    const int depth = readDepth();
    const int dither = dither_ ? 1 : 0;

    if (loadMedia(ext, path)) {
        status_ = fs::upperAscii(name);
        return status_;
    }
    const ReaderChoice *reader = nullptr;
    const QString whole = fs::upperAscii(fs::extensionOf(name));
    for (const ReaderChoice &choice : kReaders) {
        if ((ext == QLatin1String(choice.ext) || whole == QLatin1String(choice.ext))
            && (readsPreviews() || !choice.preview)) {
            reader = &choice;
            break;
        }
    }
    const bool message = ext == QLatin1String(".SCM") || ext == QLatin1String(".CMS");
    const bool platformPicture = ext == QLatin1String(".WMF") || ext == QLatin1String(".ICO");
    if (reader || message || platformPicture)
        beforeImageLoad();

    if (ext == QLatin1String(".WMF") || ext == QLatin1String(".ICO")) {
        StopMessages();
        // Icons are read by Qt; metafiles are not read at all, since no
        // metafile reader at hand is fit for files from outside.
        QImage icon;
        if (ext == QLatin1String(".ICO"))
            icon = ReadIconFile(path);
        if (icon.isNull()) {
            picture_.clear();
            pictureChanged();
            status_ = fs::upperAscii(name);
            return status_;
        }
        picture_.clear();
        picture_.kind = ViewPicture::Kind::Icon;
        picture_.icon = icon;
        pictureChanged();
        status_ = QStringLiteral("Non TIF, JPeg, BMP, GIF, PNG or PCX Image");
        GetImageInfo(name);
        return status_;
    }

    if (ext == QLatin1String(".SCM") || ext == QLatin1String(".CMS")) {
        StopMessages();
        const bool started = ext == QLatin1String(".SCM") ? startSidewaysMessage(path) : startUpwardMessage(path);
        if (started) {
            GetImageInfo(name);
        } else {
            picture_.clear();
            pictureChanged();
        }
        status_ = fs::upperAscii(name);
        return status_;
    }

    if (reader) {
        StopMessages();
        Bitmap temp;
        QSize fullSize;
        bool ok = false;
        try {
            if (reader->reader && !reader->preview
                && readReduced(path, QLatin1String(reader->ext), depth, dither, temp, fullSize)) {
                ok = true;
            } else if (reader->reader) {
                ok = reader->reader(path, depth, dither, readProgress(), temp);
            } else {
                // The resource name is the file name's stem.
                QString resource = name.mid(std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u':')) + 1).left(64);
                resource = resource.section(u'.', 0, 0);
                ok = ReadResourceBitmap(QString(), resource, this, temp);
            }
        } catch (const std::exception &) {
            picture_.clear();
            pictureChanged();
            status_ = fs::upperAscii(name);
            return status_;
        }
        if (!ok)
            inform(QLatin1String(reader->failure));
        picture_.clear();
        if (!temp.isEmpty()) {
            picture_.kind = ViewPicture::Kind::Bitmap;
            picture_.bitmap = temp;
            picture_.fullSize = fullSize;
        }
        pictureChanged();
        GetImageInfo(name);
    }
    status_ = fs::upperAscii(name);
    return status_;
}

bool TCustomImageView::GetImageInfo(const QString &name)
{
    const QString ext = viewExtension(name);
    info_ = ImageInfo{};
    if (ext == QLatin1String(".RES")) {
        const QImage &image = picture_.bitmap.image();
        const int bits = storedBits(image);
        const qint64 rowBytes = (qint64(image.width()) * bits + 31) / 32 * 4;
        const int colours = bits <= 8 ? image.colorCount() : 0;
        info_.FileType = QStringLiteral("RES");
        info_.Width = image.width();
        info_.Height = image.height();
        info_.FormatName = QStringLiteral("BMP");
        info_.FileSize = 40 + 4 * colours + rowBytes * image.height();
        return true;
    }
    if (ext == QLatin1String(".WMF") || ext == QLatin1String(".ICO") || ext == QLatin1String(".SCM")
        || ext == QLatin1String(".CMS")) {
        if (!fs::fileExists(name)) {
            info_.FileType = info_.FormatName = QStringLiteral("ERR");
            info_.Width = info_.Height = info_.Extra1 = info_.Extra2 = info_.Extra3 = -1;
            info_.FileSize = -1;
            return false;
        }
        info_.FileType = info_.FormatName = ext.mid(1);
        info_.Width = picture_.size().width();
        info_.Height = picture_.size().height();
        info_.FileSize = QFileInfo(fs::resolve(name)).size();
        return true;
    }
    std::array<int, 5> figures{};
    const QString path = fs::resolve(name);
    const bool ok = GetFileInfo(path, info_.FileType, figures, info_.FormatName);
    info_.Width = figures[0];
    info_.Height = figures[1];
    info_.Extra1 = figures[2];
    info_.Extra2 = figures[3];
    info_.Extra3 = figures[4];
    info_.FileSize = QFileInfo(path).size();
    return ok;
}

// ---- scrolling messages -------------------------------------------------

QFont TCustomImageView::messageFont() const
{
    const MessageSettings &s = messageSettings_;
    QFont font(s.fontFace);
    if (s.fontSize > 0)
        font.setPointSize(s.fontSize);
    else
        font.setPixelSize(std::max(1, std::abs(s.fontHeight)));
    font.setBold(s.bold);
    font.setItalic(s.italic);
    font.setUnderline(s.underline);
    font.setStrikeOut(s.strikeOut);
    return font;
}

bool TCustomImageView::readMessageFile(const QString &path, void (*parse)(const QByteArray &, MessageSettings &))
{
    picture_.clear();
    pictureChanged();
    // Read whole, without waiting on a pipe put under the name.
    const std::optional<QByteArray> bytes = fs::readSmallFile(path, qint64(1) << 30);
    if (!bytes || !QFileInfo(path).isFile())
        return false;
    try {
        parse(*bytes, messageSettings_);
    } catch (const MessageFormatError &) {
        return false;
    }
    scroll_.setSpeed(messageSettings_.speed);
    return true;
}

void TCustomImageView::setMessageSpeed(int speed)
{
    messageSettings_.speed = speed;
    scroll_.setSpeed(speed);
}

void TCustomImageView::showBand()
{
    rememberedColor_ = color_;
    color_ = fromColorRef(messageSettings_.background);
    renderBand();
    update();
}

bool TCustomImageView::startSidewaysMessage(const QString &path)
{
    if (!readMessageFile(path, parseSideways))
        return false;
    const QSize text = QFontMetrics(messageFont()).size(Qt::TextSingleLine, messageSettings_.message);
    scroll_.startSideways(size(), text);
    showBand();
    return true;
}

bool TCustomImageView::startUpwardMessage(const QString &path)
{
    if (!readMessageFile(path, parseUpward))
        return false;
    // Later lines are measured as they come up, in the font of this file.
    scroll_.startUpward(
        [this] { return size(); }, messageSettings_.lines,
        [font = messageFont()](const QString &text) { return QFontMetrics(font).size(Qt::TextSingleLine, text); });
    if (scroll_.vertical())
        showBand();
    return true;
}

void TCustomImageView::renderBand()
{
    const QSize bandSize = scroll_.bandSize().expandedTo(QSize(1, 1));
    band_ = QPixmap(bandSize);
    band_.fill(fromColorRef(messageSettings_.background));
    QPainter p(&band_);
    p.setFont(messageFont());
    p.setPen(fromColorRef(messageSettings_.fontColor));
    const QString text = scroll_.horizontal() ? messageSettings_.message : scroll_.text();
    p.drawText(QRect(QPoint(0, 0), bandSize), Qt::AlignLeft | Qt::AlignTop, text);
}

void TCustomImageView::StopMessages()
{
    if (scroll_.running())
        color_ = rememberedColor_;
    scroll_.stop();
    band_ = QPixmap();
    picture_.clear();
    pictureChanged();
}

void TCustomImageView::postStepMessages()
{
    QApplication::postEvent(this, new QEvent(kHorizontalStepEvent));
    QApplication::postEvent(this, new QEvent(kVerticalStepEvent));
}

bool TCustomImageView::event(QEvent *e)
{
    if (e->type() == kHorizontalStepEvent) {
        if (scroll_.stepHorizontal())
            update();
        return true;
    }
    if (e->type() == kVerticalStepEvent) {
        if (scroll_.stepVertical()) {
            if (scroll_.lineChanged())
                renderBand();
            update();
        }
        return true;
    }
    return QWidget::event(e);
}

// ---- the picture ----------------------------------------------------------

void TCustomImageView::pictureChanged()
{
    const QSize s = picture_.size();
    if (autoSize_ && s.width() > 0 && s.height() > 0)
        resize(s);
    setAttribute(Qt::WA_OpaquePaintEvent, picture_.kind == ViewPicture::Kind::Bitmap && s == size());
    cache_ = QImage();
    update();
}

Bitmap TCustomImageView::pictureAsBitmap() const
{
    return picture_.kind == ViewPicture::Kind::Bitmap ? picture_.bitmap : Bitmap();
}

// ---- clipboard ------------------------------------------------------------

void TCustomImageView::CopyToClipboard()
{
    if (picture_.isEmpty())
        return;
    needFullPicture();
    QApplication::clipboard()->setImage(picture_.kind == ViewPicture::Kind::Bitmap ? SrgbImage(picture_.bitmap)
                                                                                   : picture_.icon);
}

void TCustomImageView::CutToClipboard()
{
    if (picture_.isEmpty())
        return;
    CopyToClipboard();
    picture_.clear();
    pictureChanged();
}

void TCustomImageView::PasteFromClipboard()
{
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull())
        return;
    // The flags go, but the control keeps the message's colour.
    scroll_.stop();
    picture_.clear();
    picture_.kind = ViewPicture::Kind::Bitmap;
    picture_.bitmap.setImage(image.convertToFormat(QImage::Format_RGB32));
    pictureChanged();
}

QList<QRgb> TCustomImageView::paletteForWindowSystem() const
{
    if (!SharedPalette().isEmpty())
        return SharedPalette();
    if (!codecPalette_ && picture_.kind == ViewPicture::Kind::Bitmap)
        return picture_.bitmap.palette();
    return {};
}

// ---- painting -------------------------------------------------------------

QRect TCustomImageView::drawingBox() const
{
    const QSize pic = picture_.size();
    const bool simple = info_.FileType == QLatin1String("ICO") || info_.FileType == QLatin1String("WMF")
                        || !codecPalette_;
    if (simple) {
        if (stretch_)
            return rect();
        if (center_)
            return QRect(centreOffset(size(), pic), pic);
        return QRect(QPoint(0, 0), pic);
    }
    if (stretchRatio_)
        return ratioBox(size(), pic);
    if (stretch_)
        return rect();
    return QRect(center_ ? centreOffset(size(), pic) : QPoint(0, 0), pic);
}

namespace {

// A part of a picture that shares its pixels, or a null image where the part
// cannot be one (outside the picture, or not starting on a byte).
QImage view(const QImage &image, const QRect &part)
{
    if (part == image.rect())
        return image;
    if (!image.rect().contains(part) || part.isEmpty())
        return {};
    int bytesPerPixel = 0;
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: bytesPerPixel = 4; break;
    case QImage::Format_BGR888: bytesPerPixel = 3; break;
    case QImage::Format_Indexed8: bytesPerPixel = 1; break;
    default: return {};
    }
    const uchar *first = image.constScanLine(part.top()) + size_t(part.left()) * size_t(bytesPerPixel);
    QImage out(first, part.width(), part.height(), image.bytesPerLine(), image.format());
    if (image.format() == QImage::Format_Indexed8)
        out.setColorTable(image.colorTable());
    return out;
}

} // namespace

// What paints is the picture itself at its own size, or a copy no larger than
// the box it is scaled into: the picture is never copied whole, since it can
// be the largest thing the program holds.
const QImage &TCustomImageView::cachedImage(const QRect &box, const QRect &logical) const
{
    const QImage &image = picture_.kind == ViewPicture::Kind::Bitmap ? picture_.bitmap.image() : picture_.icon;
    if (!cache_.isNull() && cacheBox_.size() == box.size() && cacheSource_ == logical && cacheKey_ == image.cacheKey())
        return cache_;
    const QRect whole(QPoint(0, 0), image.size());
    const bool smooth = readRes_ != TLoadResolution::lMonoChrome;
    QRect source = logical;
    if (picture_.reduced()) {
        // The part of the reduced decode that shows that part of the picture.
        const double sx = double(image.width()) / picture_.fullSize.width();
        const double sy = double(image.height()) / picture_.fullSize.height();
        const int left = int(std::floor(logical.left() * sx)), top = int(std::floor(logical.top() * sy));
        source = QRect(left, top, int(std::ceil((logical.left() + logical.width()) * sx)) - left,
                       int(std::ceil((logical.top() + logical.height()) * sy)) - top);
    }
    if (source == whole && (box.size() == source.size() || box.isEmpty())) {
        cache_ = image; // shared, not copied
    } else if (const QImage part = view(image, source); !part.isNull()) {
        // Shrinking reads the rows in place; only the box-sized result is new.
        cache_ = ScaleToBox(part, box.size(), smooth);
        if (cache_.constBits() == part.constBits() && part.constBits() != image.constBits())
            cache_ = part.copy(); // a part as large as its box: the view must not outlive the picture
    } else {
        // Zoomed out past the edges (the margin shows the control's colour),
        // or a part of a black-and-white picture: drawn straight into a
        // box-sized image.
        cache_ = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
        cache_.fill(color_);
        QPainter p(&cache_);
        p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(box.size())), image, QRectF(source));
    }
    // Colours are converted for the screen once the picture is no larger
    // than the box: the cost follows the screen, not the picture.
    ConvertColours(cache_, picture_.kind == ViewPicture::Kind::Bitmap ? picture_.bitmap.colour().get() : nullptr,
                   codec::ColourTarget::Screen);
    cacheBox_ = box;
    cacheSource_ = logical;
    cacheKey_ = image.cacheKey();
    return cache_;
}

void TCustomImageView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), color_);

    if (scroll_.running()) {
        if (!band_.isNull())
            p.drawPixmap(scroll_.position(), band_);
    } else if (!picture_.isEmpty()) {
        const QRect box = drawingBox();
        const QSize pic = picture_.size();
        const bool simple = info_.FileType == QLatin1String("ICO") || info_.FileType == QLatin1String("WMF")
                            || !codecPalette_;
        const bool scaled = !simple && (stretch_ || stretchRatio_);
        const QRect source = scaled && zoom_.zoomed ? zoom_.rect : QRect(QPoint(0, 0), pic);
        p.setClipRect(rect());
        p.drawImage(box.topLeft(), cachedImage(box, source));
    }

    if (border_ == TBorderStyle::bsSingle) {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (!text_.isEmpty())
        drawOverlay(p);
    if (OnPaint)
        OnPaint();
}

void TCustomImageView::resizeEvent(QResizeEvent *event)
{
    // A window that fits the control to its picture resizes it once a
    // message has started in the old picture's box.
    scroll_.resizeControl(size());
    QWidget::resizeEvent(event);
}

void TCustomImageView::drawOverlay(QPainter &p)
{
    // Each copy turns about its own starting point, so the shadow lies 2
    // pixels right and down on the control whatever the angle.
    const auto drawAt = [&](QPoint origin, const QColor &color) {
        p.save();
        p.setFont(font());
        p.translate(origin);
        p.rotate(-textRotate_); // counter-clockwise, as the angle is given
        if (!textTransparent_) {
            p.setBackgroundMode(Qt::OpaqueMode);
            p.setBackground(color_);
        }
        p.setPen(color);
        p.drawText(QRect(0, 0, 10000, 10000), Qt::AlignLeft | Qt::AlignTop, text_);
        p.restore();
    };
    if (textShadow_)
        drawAt(QPoint(textLeft_ + 2, textTop_ + 2), textShadowColor_);
    drawAt(QPoint(textLeft_, textTop_), palette().color(QPalette::WindowText));
}

// ---- input ------------------------------------------------------------------

void TCustomImageView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    QWidget::mousePressEvent(event);
}

void TCustomImageView::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void TCustomImageView::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    const int key = event->key();
    const QChar typed = event->text().isEmpty() ? QChar() : event->text().at(0);
    if ((key == Qt::Key_Insert && mods == Qt::ShiftModifier) || typed == QChar(22)
        || (key == Qt::Key_V && mods == Qt::ControlModifier)) {
        PasteFromClipboard();
    } else if ((key == Qt::Key_Insert && mods == Qt::ControlModifier) || typed == QChar(3)
               || (key == Qt::Key_C && mods == Qt::ControlModifier)) {
        CopyToClipboard();
    } else if ((key == Qt::Key_Delete && mods == Qt::ShiftModifier) || typed == QChar(24)
               || (key == Qt::Key_X && mods == Qt::ControlModifier)) {
        CutToClipboard();
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace brisvale
