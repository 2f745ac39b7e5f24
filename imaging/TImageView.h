#pragma once

#include "imaging/Bitmap.h"
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

    bool isEmpty() const { return kind == Kind::None; }
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

// Shows a picture file chosen by its extension (BMP, JPEG, GIF, TIFF, PCX, PNG,
// previews, program resources, icons) or a scrolling message file; flips,
// rotates, zooms, saves and exchanges it with the clipboard.
class TImageView : public QWidget {
    Q_OBJECT
public:
    // The host's two step messages that drive a scrolling message.
    static constexpr int kHorizontalStep = 1025;
    static constexpr int kVerticalStep = 1026;

    explicit TImageView(QWidget *parent = nullptr);
    ~TImageView() override;

    // Loads the file; the status text is returned by ImageName().
    void setImageName(const QString &name);
    // Loads the file named last again and answers the status text.
    QString ImageName();
    QString statusText() const { return status_; }

    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    bool Center() const { return center_; }
    void setCenter(bool on);
    TBorderStyle BorderStyle() const { return border_; }
    void setBorderStyle(TBorderStyle style);
    QString DefSaveFilename() const { return defSaveFilename_; }
    void setDefSaveFilename(const QString &name) { defSaveFilename_ = name; }
    const ViewPicture &Picture() const { return picture_; }
    void setPicture(const ViewPicture &picture);
    bool CodecPalette() const { return codecPalette_; }
    void setCodecPalette(bool on);
    bool ImageDither() const { return dither_; }
    void setImageDither(bool on) { dither_ = on; }
    TLoadResolution ImageReadRes() const { return readRes_; }
    void setImageReadRes(TLoadResolution res) { readRes_ = res; }
    TSaveResolution ImageWriteRes() const { return writeRes_; }
    void setImageWriteRes(TSaveResolution res) { writeRes_ = res; }
    TTiffCompression TifSaveCompress() const { return tifCompress_; }
    void setTifSaveCompress(TTiffCompression c) { tifCompress_ = c; }
    int JPegSaveQuality() const { return jpegQuality_; }
    void setJPegSaveQuality(int quality);
    int JPegSaveSmooth() const { return jpegSmooth_; }
    void setJPegSaveSmooth(int smooth);
    bool PNGInterLaced() const { return pngInterlaced_; }
    void setPNGInterLaced(bool on) { pngInterlaced_ = on; }
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

    bool GetImageInfo(const QString &name);
    void FlipImage();
    void RotateImage();
    void ZoomIn();
    void ZoomOut();
    void SaveAsBMP(const QString &name);
    void SaveAsJPG(const QString &name);
    void SaveAsGIF(const QString &name);
    void SaveAsPCX(const QString &name);
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void CaptureFromWindow(QWidget *window);
    void StopMessages();
    // Posts the horizontal and then the vertical step message.
    void postStepMessages();

    // The palette offered to the window system: the shared one when set, else
    // the bitmap's own when painting does not go through the codec palette.
    QList<QRgb> paletteForWindowSystem() const;

    // Depth codes for reads and for each writer, from the resolution settings.
    int readDepth() const;
    enum class Writer { Bmp, Jpg, Gif, Pcx };
    int writeDepth(Writer writer) const;

    // The box the picture is drawn into and the part of it that is drawn.
    QRect drawingBox() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    // Properties that change what is drawn repaint only when they change.
    template <typename T>
    void assignAndRepaint(T &field, const T &value);
    QString load(const QString &name);
    // Clears the picture and reads a message file into the message settings.
    bool readMessageFile(const QString &path, void (*parse)(const QByteArray &, MessageSettings &));
    // Gives the control the message's background and draws the band.
    void showBand();
    bool startSidewaysMessage(const QString &path);
    bool startUpwardMessage(const QString &path);
    void renderBand();
    QFont messageFont() const;
    void pictureChanged();
    Bitmap pictureAsBitmap() const;
    void transform(bool (*op)(Bitmap &), const QString &failure);
    void write(Writer writer, const QString &name);
    void drawOverlay(QPainter &painter);
    const QPixmap &cachedPixmap(const QRect &box, const QRect &source) const;

    ViewPicture picture_;
    QString name_;
    QString status_;
    ImageInfo info_;
    ZoomState zoom_;

    bool autoSize_ = false;
    bool center_ = false;
    TBorderStyle border_ = TBorderStyle::bsNone;
    QString defSaveFilename_;
    bool codecPalette_ = true;
    bool dither_ = true;
    TLoadResolution readRes_ = TLoadResolution::lAutoMatic;
    TSaveResolution writeRes_ = TSaveResolution::sAutoMatic;
    TTiffCompression tifCompress_ = TTiffCompression::sNONE;
    int jpegQuality_ = 25;
    int jpegSmooth_ = 0;
    bool pngInterlaced_ = false;
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

    mutable QPixmap cache_;
    mutable QRect cacheBox_;
    mutable QRect cacheSource_;
    mutable qint64 cacheKey_ = 0;
};

} // namespace brisvale
