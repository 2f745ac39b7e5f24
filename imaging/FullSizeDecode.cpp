#include "imaging/FullSizeDecode.h"

#include "imaging/CodecImage.h"
#include "imaging/codec/Codec.h"

#include <QFile>

namespace brisvale {

FullSizeDecode::~FullSizeDecode() { reset(); }

void FullSizeDecode::reset(const QString &path, int dither, codec::FileKind kind)
{
    if (running_.valid()) {
        stop_->store(true);
        running_.wait();
        running_ = {};
    }
    path_ = path;
    dither_ = dither;
    kind_ = kind;
}

void FullSizeDecode::start(const std::function<void()> &ready)
{
    if (running_.valid() || path_.isEmpty())
        return;
    stop_ = std::make_shared<std::atomic<bool>>(false);
    running_ = std::async(std::launch::async, [name = QFile::encodeName(path_).toStdString(), dither = dither_,
                                               kind = kind_, stop = stop_, ready] {
        codec::Image image;
        codec::Palette palette;
        const codec::Progress progress = [stop](int32_t) { return stop->load() ? 0 : 1; };
        Result result;
        result.status = codec::readFileOfKind(kind, name, 24, dither, image, palette, progress);
        if (codec::succeeded(result.status)) {
            result.colour = image.colour();
            const int lost = handOverFailure(image);
            result.image = toQImage(std::move(image), palette);
            if (result.image.isNull())
                result.status = lost;
        }
        if (ready)
            ready();
        return result;
    });
}

QImage FullSizeDecode::take(int &status, codec::ColourSpacePtr &colour)
{
    start({});
    if (!running_.valid()) {
        status = codec::kNoPicture;
        return QImage();
    }
    Result result = running_.get();
    running_ = {};
    path_.clear();
    status = result.status;
    colour = result.colour;
    return result.image;
}

} // namespace brisvale
