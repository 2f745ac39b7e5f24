#include "thumbs/PreviewPrefetch.h"

#include "imaging/ViewGeometry.h"

#include <algorithm>

namespace brisvale {

namespace {

// How far decoding may run ahead of the file the batch is at.
constexpr size_t kReach = 4;

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
        BoxPicture result;
        if (viewExtension(path) == QLatin1String(".JPG")) {
            result = DecodeStretched(path, params.box, params.depth, params.dither, params.background, params.palette,
                                     true);
        } else {
            std::lock_guard whole(wholeRead_);
            result = DecodeStretched(path, params.box, params.depth, params.dither, params.background, params.palette,
                                     true);
        }
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
