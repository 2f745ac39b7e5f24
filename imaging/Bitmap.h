#pragma once

#include "imaging/codec/ColourSpace.h"

#include <QImage>
#include <QList>
#include <QRgb>

namespace brisvale {

// The program's bitmap object: a picture and its palette, as the codec bridge
// hands them out. Pictures read at 1 bit are QImage::Format_Mono, at 0, 4 and
// 8 bits Format_Indexed8 (16 or at most 256 colours), at 24 bits Format_BGR888
// (three bytes a pixel, as the library reads them; pasted pictures are RGB32).
// The palette is what the codec returned with the picture (empty for true
// colour unless one was set); the image's own colour table is what paints.
// The colour space is what the file says its colours mean: the pixels stay
// as the file has them and are converted where they are shown or written.
class Bitmap {
public:
    Bitmap() = default;

    const QImage &image() const { return image_; }
    void setImage(const QImage &image) { image_ = image; }
    const QList<QRgb> &palette() const { return palette_; }
    void setPalette(const QList<QRgb> &palette) { palette_ = palette; }
    const codec::ColourSpacePtr &colour() const { return colour_; }
    void setColour(codec::ColourSpacePtr colour) { colour_ = std::move(colour); }

    bool isEmpty() const { return image_.isNull(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    void clear();

private:
    QImage image_;
    QList<QRgb> palette_;
    codec::ColourSpacePtr colour_;
};

} // namespace brisvale
