#pragma once

#include "imaging/Bitmap.h"
#include "imaging/CodecBridge.h"
#include "imaging/MessageFile.h"
#include "imaging/ScrollingMessage.h"
#include "imaging/ViewGeometry.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>

namespace brisvale {

enum class TLoadResolution { lColorVga, lMonoChrome, lColor16, lColor256, lColorTrue, lAutoMatic };
enum class TSaveResolution { sColorVga, sMonoChrome, sColor16, sColor256, sColorTrue, sJpegGray, sAutoMatic };
enum class TTiffCompression { sNONE, sCCITT, sLZW, sPACKBITS };
enum class TBorderStyle { bsNone, bsSingle };

// What the control shows: a bitmap, an icon or nothing. Metafiles are not read.
struct ViewPicture {
    enum class Kind { None, Bitmap, Icon };
    Kind kind = Kind::None;
    Bitmap bitmap;
    QImage icon;
    // Set while the bitmap is a reduced decode: the size of the picture it
    // stands for, which the fit, the zoom and the painting go by.
    QSize fullSize;

    bool isEmpty() const { return kind == Kind::None; }
    bool reduced() const { return kind == Kind::Bitmap && fullSize.isValid(); }
    QSize size() const;
    void clear() { *this = ViewPicture{}; }
};

// What the last look at a file found.
struct ImageInfo {
    QString FileType;
    int Width = 0;
    int Height = 0;
    int Extra1 = 0;
    int Extra2 = 0;
    int Extra3 = 0;
    QString FormatName;
    qint64 FileSize = 0;
};

// What the picture controls share: loading a file chosen by its extension
// (BMP, JPEG, GIF, TIFF, PCX, PNG, program resources, icons) or a scrolling
// message file, painting with the overlay text, the clipboard and its keys,
// and the palette offered to the window system. The controls built on it say
// how a name's kind is taken and add kinds of their own through the hooks.
class TCustomImageView : public QWidget {
    Q_OBJECT
public:
    // The host's two step messages that drive a scrolling message.
    static constexpr int kHorizontalStep = 1025;
    static constexpr int kVerticalStep = 1026;

    explicit TCustomImageView(QWidget *parent = nullptr);
    ~TCustomImageView() override;

    QString statusText() const { return status_; }
    // The name given to the last load, as it was given.
    QString loadedFile() const { return name_; }
    // Whether a file of this name's kind is shown as a picture or a message
    // at all; any other is passed over by a load, leaving what was shown.
    bool showsKind(const QString &name) const;

    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    bool Center() const { return center_; }
    void setCenter(bool on);
    TBorderStyle BorderStyle() const { return border_; }
    void setBorderStyle(TBorderStyle style);
    const ViewPicture &Picture() const { return picture_; }
    void setPicture(const ViewPicture &picture);
    bool CodecPalette() const { return codecPalette_; }
    void setCodecPalette(bool on);
    bool ImageDither() const { return dither_; }
    void setImageDither(bool on) { dither_ = on; }
    TLoadResolution ImageReadRes() const { return readRes_; }
    void setImageReadRes(TLoadResolution res) { readRes_ = res; }
    bool UseTwainWindow() const { return useTwain_; }
    void setUseTwainWindow(bool on) { useTwain_ = on; }
    bool Stretch() const { return stretch_; }
    void setStretch(bool on);
    bool StretchRatio() const { return stretchRatio_; }
    void setStretchRatio(bool on);
    QColor Color() const { return color_; }
    void setColor(const QColor &color);

    QString Text() const { return text_; }
    void setText(const QString &text);
    bool TextShadow() const { return textShadow_; }
    void setTextShadow(bool on);
    QColor TextShadowColor() const { return textShadowColor_; }
    void setTextShadowColor(const QColor &color) { textShadowColor_ = color; }
    int TextLeft() const { return textLeft_; }
    void setTextLeft(int left);
    int TextTop() const { return textTop_; }
    void setTextTop(int top);
    int TextRotate() const { return textRotate_; }
    void setTextRotate(int degrees);
    bool TextTransParent() const { return textTransparent_; }
    void setTextTransParent(bool on);

    // Fired at the end of every paint.
    std::function<void()> OnPaint;

    const ImageInfo &imageInfo() const { return info_; }
    const ZoomState &zoom() const { return zoom_; }
    const ScrollingMessage &message() const { return scroll_; }
    MessageSettings &messageSettings() { return messageSettings_; }
    // Changes the speed of the running message; a message file read later
    // brings its own.
    void setMessageSpeed(int speed);

    bool GetImageInfo(const QString &name);
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    virtual void StopMessages();
    // Posts the horizontal and then the vertical step message.
    void postStepMessages();

    // The palette offered to the window system: the shared one when set, else
    // the bitmap's own when painting does not go through the codec palette.
    QList<QRgb> paletteForWindowSystem() const;

    // Depth code for reads, from ImageReadRes.
    int readDepth() const;

    // The box the picture is drawn into and the part of it that is drawn.
    QRect drawingBox() const;

signals:
    void clicked();

protected:
    // Its name is the loaded file's.
    friend class ImageViewAccessible;

    // Loads the file and answers the status text.
    QString load(const QString &name);
    // The name given to the last load.
    const QString &loadedName() const { return name_; }

    // Hooks of the load, in the order they run.
    virtual void beforeLoad() {}
    // The kind of file a name is, as the readers are chosen by it.
    virtual QString kindOf(const QString &name) const;
    // Takes a kind this control plays rather than shows; true when it was one.
    virtual bool loadMedia(const QString &, const QString &) { return false; }
    // Runs before any kind that is shown as a picture or a message.
    virtual void beforeImageLoad() {}
    // Whether the previewer's own .THB and .THJ files are read.
    virtual bool readsPreviews() const { return true; }
    // The progress callback handed to the library readers.
    virtual CodecProgress readProgress() const { return {}; }
    // A picture (its kind told by the reader's extension, ".JPG") the control
    // may read at a reduced size instead: true when it did, with the size of
    // the whole picture (or none when it read it whole after all); false to
    // read it as usual.
    virtual bool readReduced(const QString &, const QString &, int, int, Bitmap &, QSize &) { return false; }
    // Before a command that needs every pixel of a reduced picture; false
    // when the whole picture could not be made (and that was said).
    virtual bool needFullPicture() { return true; }

    void pictureChanged();
    Bitmap pictureAsBitmap() const;

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

    ViewPicture picture_;
    ZoomState zoom_;

private:
    // Properties that change what is drawn repaint only when they change.
    template <typename T>
    void assignAndRepaint(T &field, const T &value);
    // Clears the picture and reads a message file into the message settings.
    bool readMessageFile(const QString &path, void (*parse)(const QByteArray &, MessageSettings &));
    // Gives the control the message's background and draws the band.
    void showBand();
    bool startSidewaysMessage(const QString &path);
    bool startUpwardMessage(const QString &path);
    void renderBand();
    QFont messageFont() const;
    void drawOverlay(QPainter &painter);
    const QImage &cachedImage(const QRect &box, const QRect &source) const;

    QString name_;
    QString status_;
    ImageInfo info_;

    bool autoSize_ = false;
    bool center_ = false;
    TBorderStyle border_ = TBorderStyle::bsNone;
    bool codecPalette_ = true;
    bool dither_ = true;
    TLoadResolution readRes_ = TLoadResolution::lAutoMatic;
    bool useTwain_ = true;
    bool stretch_ = false;
    bool stretchRatio_ = false;
    QColor color_;

    QString text_;
    bool textShadow_ = false;
    QColor textShadowColor_ = Qt::black;
    int textLeft_ = 0;
    int textTop_ = 0;
    int textRotate_ = 0;
    bool textTransparent_ = true;

    MessageSettings messageSettings_;
    ScrollingMessage scroll_;
    QPixmap band_;
    QColor rememberedColor_;
    bool pressed_ = false;

    mutable QImage cache_;
    mutable QRect cacheBox_;
    mutable QRect cacheSource_;
    mutable qint64 cacheKey_ = 0;
};

} // namespace brisvale
