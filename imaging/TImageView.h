#pragma once

#include "imaging/TCustomImageView.h"

#include <functional>
#include <memory>
#include <vector>

namespace brisvale {

class FullSizeDecode;

// Shows a picture file chosen by its extension (BMP, JPEG, GIF, TIFF, PCX, PNG,
// previews, program resources, icons) or a scrolling message file; flips,
// rotates, zooms, saves and exchanges it with the clipboard.
class TImageView : public TCustomImageView {
    Q_OBJECT
public:
    explicit TImageView(QWidget *parent = nullptr);
    ~TImageView() override;

    // How large a picture of a given size is shown. Given it, a JPEG shown at
    // half its size or less is decoded only as large as it is shown, and at
    // full size in the background once a command needs every pixel.
    void setShownSize(std::function<QSize(QSize)> shownSize) { shownSize_ = std::move(shownSize); }

    // Loads the file; the status text is returned by ImageName().
    void setImageName(const QString &name);
    // Loads the file named last again and answers the status text.
    QString ImageName();

    QString DefSaveFilename() const { return defSaveFilename_; }
    void setDefSaveFilename(const QString &name) { defSaveFilename_ = name; }
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

    void FlipImage();
    void RotateImage();
    void ZoomIn();
    void ZoomOut();
    // True when the file was written; a failed write leaves any file of that
    // name as it was.
    bool SaveAsBMP(const QString &name);
    bool SaveAsJPG(const QString &name);
    bool SaveAsGIF(const QString &name);
    bool SaveAsPCX(const QString &name);
    void CaptureFromWindow(QWidget *window);

    // Depth codes for each writer, from the resolution settings.
    enum class Writer { Bmp, Jpg, Gif, Pcx };
    int writeDepth(Writer writer) const;

protected:
    void beforeLoad() override;
    bool readReduced(const QString &path, const QString &ext, int depth, int dither, Bitmap &out,
                     QSize &fullSize) override;
    bool needFullPicture() override;

private:
    void transform(bool (*op)(Bitmap &), const QString &failure);
    bool write(Writer writer, const QString &name);
    // The full-size picture takes the reduced one's place, turned as it was.
    void adoptFullPicture(unsigned generation);

    std::function<QSize(QSize)> shownSize_;
    std::unique_ptr<FullSizeDecode> full_;
    unsigned fullGeneration_ = 0;           // the picture a decode belongs to
    std::vector<bool (*)(Bitmap &)> turns_; // done to the reduced picture

    QString defSaveFilename_;
    TSaveResolution writeRes_ = TSaveResolution::sAutoMatic;
    TTiffCompression tifCompress_ = TTiffCompression::sNONE;
    int jpegQuality_ = 25;
    int jpegSmooth_ = 0;
    bool pngInterlaced_ = false;
};

} // namespace brisvale
