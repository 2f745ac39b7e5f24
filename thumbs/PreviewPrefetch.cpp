#include "thumbs/PreviewPrefetch.h"

#include "imaging/ViewGeometry.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace brisvale {

namespace {

// How far decoding may run ahead of the file the batch is at.
constexpr size_t kReach = 4;

// True for a JPEG whose frame header says it is baseline or sequential: its
// decoder holds only a few rows at a time. A progressive JPEG holds every
// coefficient of the picture, and the other kinds hold the whole file and
// perhaps the whole picture, so those are read one at a time.
bool isSequentialJpeg(const QString &path)
{
    if (viewExtension(path) != QLatin1String(".JPG"))
        return false;
    // Only a regular file is opened here: a pipe would never answer.
    const QString real = platform::fs::resolve(path);
    if (!QFileInfo(real).isFile())
        return false;
    QFile file(real);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(qint64(256) * 1024);
    const auto byte = [&](qsizetype i) { return uint8_t(head[i]); };
    if (head.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8)
        return false;
    qsizetype at = 2;
    while (at + 1 < head.size()) {
        if (byte(at) != 0xFF)
            return false;
        while (at + 1 < head.size() && byte(at + 1) == 0xFF)
            ++at;
        if (at + 1 >= head.size())
            return false;
        const uint8_t marker = byte(at + 1);
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker == 0xC0 || marker == 0xC1 || marker == 0xC9;
        if (at + 3 >= head.size())
            return false;
        at += 2 + ((qsizetype(byte(at + 2)) << 8) | byte(at + 3));
    }
    return false;
}

int workerCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return int(std::clamp(cores, 1u, 2u));
}

} // namespace

PreviewPrefetch::PreviewPrefetch() = default;

PreviewPrefetch::~PreviewPrefetch()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    for (std::thread &t : threads_)
        t.join();
}

void PreviewPrefetch::start(const QStringList &paths, const Params &params)
{
    {
        std::lock_guard lock(mutex_);
        ++batch_;
        // Running jobs finish on their own and are dropped then.
        for (Job &job : jobs_)
            job.dropped = true;
        std::erase_if(jobs_, [](const Job &j) { return j.state != State::Running; });
        for (const QString &path : paths)
            jobs_.push_back(Job{path, State::Queued, {}, batch_, ++nextId_, false});
        params_ = params;
        if (threads_.empty())
            for (int i = 0; i < workerCount(); ++i)
                threads_.emplace_back([this] { work(); });
    }
    changed_.notify_all();
}

void PreviewPrefetch::cancel()
{
    std::lock_guard lock(mutex_);
    ++batch_;
    for (Job &job : jobs_)
        job.dropped = true;
    std::erase_if(jobs_, [](const Job &j) { return j.state != State::Running; });
}

PreviewPrefetch::Job *PreviewPrefetch::nextJob()
{
    size_t pending = 0;
    for (Job &job : jobs_) {
        if (job.batch != batch_ || job.dropped)
            continue;
        if (pending++ >= kReach)
            return nullptr;
        if (job.state == State::Queued)
            return &job;
    }
    return nullptr;
}

void PreviewPrefetch::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        Job *job = nullptr;
        changed_.wait(lock, [&] { return quit_ || (job = nextJob()) != nullptr; });
        if (quit_)
            return;
        job->state = State::Running;
        const QString path = job->path;
        const quint64 id = job->id;
        const Params params = params_;
        lock.unlock();
        // Reads in proportion to the picture's size go one at a time; one
        // that turns out to shrink row by row lets the next begin.
        std::unique_lock whole(wholeRead_, std::defer_lock);
        if (!isSequentialJpeg(path))
            whole.lock();
        BoxPicture result = DecodeStretched(path, params.box, params.depth, params.dither, params.background,
                                            params.palette, true, [&whole] {
                                                if (whole.owns_lock())
                                                    whole.unlock();
                                            });
        if (whole.owns_lock())
            whole.unlock();
        lock.lock();
        // A running job never leaves the queue, so it is still there.
        auto it = std::find_if(jobs_.begin(), jobs_.end(), [&](const Job &j) { return j.id == id; });
        if (it != jobs_.end()) {
            if (it->dropped) {
                jobs_.erase(it);
            } else {
                it->state = State::Done;
                it->result = std::move(result);
            }
        }
        changed_.notify_all();
    }
}

std::optional<BoxPicture> PreviewPrefetch::take(const QString &path, const Params &params)
{
    std::unique_lock lock(mutex_);
    const auto find = [&] {
        return std::find_if(jobs_.begin(), jobs_.end(),
                            [&](const Job &j) { return j.batch == batch_ && !j.dropped && j.path == path; });
    };
    if (find() == jobs_.end())
        return std::nullopt;
    // The batch has moved past the ones announced before: they are dropped.
    for (Job &job : jobs_) {
        if (job.batch == batch_ && !job.dropped && job.path == path)
            break;
        job.dropped = true;
    }
    std::erase_if(jobs_, [](const Job &j) { return j.dropped && j.state != State::Running; });
    changed_.notify_all();
    auto it = find();
    changed_.wait(lock, [&] {
        it = find();
        return it == jobs_.end() || it->state == State::Done;
    });
    if (it == jobs_.end())
        return std::nullopt;
    BoxPicture result = std::move(it->result);
    jobs_.erase(it);
    const bool usable = params == params_;
    changed_.notify_all();
    if (!usable)
        return std::nullopt;
    return result;
}

} // namespace brisvale
