#pragma once

#include "imaging/codec/Codec.h"
#include "imaging/codec/ColourSpace.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <functional>
#include <future>
#include <memory>

namespace brisvale {

// The full-size picture behind a JPEG shown from a reduced decode, made on a
// worker thread only once a command needs it (a zoom past the shown size, a
// save), and handed over once: it then replaces the reduced picture, so at
// rest there is one copy.
class FullSizeDecode {
public:
    FullSizeDecode() = default;
    ~FullSizeDecode();
    FullSizeDecode(const FullSizeDecode &) = delete;
    FullSizeDecode &operator=(const FullSizeDecode &) = delete;

    // The picture shown reduced (of that kind), or nothing; a decode of an
    // earlier one stops.
    void reset(const QString &path = QString(), int dither = 0, codec::FileKind kind = codec::FileKind::Jpg);
    bool pending() const { return !path_.isEmpty(); }
    // Starts the decode unless it runs; `ready` is called on the worker
    // thread as it ends, so that take() then waits for next to nothing.
    void start(const std::function<void()> &ready);
    bool running() const { return running_.valid(); }
    // The picture, waited for (and started) when need be, in the codec's
    // 24-bit form, and its colours; a null image and the codec's status when
    // the read failed. Afterwards nothing is pending.
    QImage take(int &status, codec::ColourSpacePtr &colour);

private:
    struct Result {
        QImage image;
        codec::ColourSpacePtr colour;
        int status = 0;
    };
    QString path_;
    int dither_ = 0;
    codec::FileKind kind_ = codec::FileKind::Jpg;
    std::shared_ptr<std::atomic<bool>> stop_;
    std::future<Result> running_;
};

} // namespace brisvale
