#pragma once

#include "imaging/StretchedRead.h"

#include <QColor>
#include <QList>
#include <QRgb>
#include <QSize>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace brisvale {

// Decodes the next pictures of a batch on worker threads while the
// user-interface thread writes the previous ones. Results come out only in
// the order the caller asks for them; nothing here touches a window.
class PreviewPrefetch {
public:
    struct Params {
        QSize box;
        int depth = 24;
        bool dither = false;
        QColor background;
        QList<QRgb> palette;
        bool operator==(const Params &) const = default;
    };

    PreviewPrefetch();
    ~PreviewPrefetch();
    PreviewPrefetch(const PreviewPrefetch &) = delete;
    PreviewPrefetch &operator=(const PreviewPrefetch &) = delete;

    // Replaces any earlier batch.
    void start(const QStringList &paths, const Params &params);
    // Drops the work that has not started.
    void cancel();
    // The picture decoded for `path` with these parameters, waiting for it
    // when it is on its way; nothing when it was not announced or was
    // decoded otherwise. Announced paths before it are dropped.
    std::optional<BoxPicture> take(const QString &path, const Params &params);

private:
    enum class State { Queued, Running, Done };
    struct Job {
        QString path;
        State state = State::Queued;
        BoxPicture result;
        quint64 batch = 0;
        quint64 id = 0;
        bool dropped = false; // no longer wanted; leaves once it is not running
    };
    void work();
    // The next queued job within reach of the front, or nullptr.
    Job *nextJob();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    Params params_;
    quint64 batch_ = 0;
    quint64 nextId_ = 0;
    bool quit_ = false;
    // Pictures that need memory in proportion to their size (all but
    // sequential JPEGs and pictures shrunk row by row) are read one at a time,
    // however many threads there are.
    std::mutex wholeRead_;
    std::vector<std::thread> threads_;
};

} // namespace brisvale
