#include "platform/PrivateProfileFile.h"

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "platform/WriteAll.h"

#include <QFile>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brisvale::platform {

namespace {

// Larger files are not a thumbnail data file anyone made; they read as empty
// rather than filling memory.
constexpr qint64 kMaximumSize = qint64(64) << 20;
// Deferred changes wait at least this long, and ten times what the last
// write cost, so a large file is not rewritten for every entry.
constexpr qint64 kMinimumDeferMs = 1000;
constexpr qint64 kDeferCostFactor = 10;

bool hasLineBreak(const QString &text) { return text.contains(u'\n') || text.contains(u'\r'); }

bool sameName(const QString &a, const QString &b) { return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0; }

qint64 modifiedNs(const struct stat &st) { return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec; }

// Closes a descriptor when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool readAll(int fd, qint64 size, QByteArray &out)
{
    out.resize(size);
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, out.data() + got, size_t(size - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += n;
    }
    out.truncate(got);
    return true;
}

} // namespace

PrivateProfileFile::PrivateProfileFile(QString path) : path_(std::move(path)) {}

QString PrivateProfileFile::lockPathFor(const QString &path)
{
    const QString folder = fs::folderOf(path);
    const QString lock = u'.' + fs::fileNameOf(path) + QStringLiteral(".lock");
    return folder.isEmpty() ? lock : fs::join(folder, lock);
}

QString PrivateProfileFile::resolved() const { return fs::resolve(path_); }

const FolderHandle &PrivateProfileFile::folder()
{
    if (!held_ || !folder_.isOpen())
        folder_ = FolderHandle(fs::folderOf(resolved()));
    return folder_;
}

bool PrivateProfileFile::refresh()
{
    const QString leaf = fs::fileNameOf(resolved());
    const QByteArray name = QFile::encodeName(leaf);
    const FolderHandle &dir = folder();
    struct stat st {};
    Stamp now;
    if (!dir.statOf(leaf, st)) {
        if (errno != ENOENT && errno != ENOTDIR) {
            doc_ = ProfileDocument();
            stamp_.reset();
            readable_ = false;
            return false;
        }
    } else if (!S_ISREG(st.st_mode)) {
        doc_ = ProfileDocument();
        stamp_.reset();
        readable_ = false;
        return false;
    } else {
        now = {true, st.st_dev, st.st_ino, st.st_size, modifiedNs(st)};
    }
    if (stamp_ && *stamp_ == now)
        return readable_;
    doc_ = ProfileDocument();
    stamp_.reset();
    readable_ = false;
    if (!now.present) {
        stamp_ = now;
        readable_ = true;
        return true;
    }
    // The stamp is taken from what was opened, so a replacement between the
    // look and the open is read again next time.
    const Descriptor fd(
        ::openat(dir.fd(), name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaximumSize)
        return false;
    QByteArray bytes;
    if (!readAll(fd.get(), st.st_size, bytes))
        return false;
    doc_ = ProfileDocument::parse(bytes);
    stamp_ = Stamp{true, st.st_dev, st.st_ino, st.st_size, modifiedNs(st)};
    readable_ = true;
    return true;
}

std::optional<QString> PrivateProfileFile::value(const QString &section, const QString &key)
{
    for (auto c = pending_.rbegin(); c != pending_.rend(); ++c) {
        if (sameName(c->section, section) && sameName(c->key, key))
            return c->value;
    }
    if (!refresh())
        return std::nullopt;
    return doc_.value(section, key);
}

void PrivateProfileFile::setValue(const QString &section, const QString &key, const QString &value)
{
    change({section, key, value});
}

void PrivateProfileFile::removeKey(const QString &section, const QString &key) { change({section, key, std::nullopt}); }

void PrivateProfileFile::change(Change c)
{
    // A line break would split the entry and leave lines nobody wrote.
    if (hasLineBreak(c.section) || hasLineBreak(c.key) || (c.value && hasLineBreak(*c.value)))
        throw ProfileWriteError(path_);
    pending_.push_back(std::move(c));
    if (!deferred_)
        flush();
}

void PrivateProfileFile::setDeferred(bool on)
{
    wroteWhileDeferred_ = false;
    sinceWrite_.start();
    if (on) {
        deferred_ = held_ = true;
        folder_ = FolderHandle(fs::folderOf(resolved()));
        return;
    }
    // The last changes still go to the folder held meanwhile.
    deferred_ = false;
    const auto release = qScopeGuard([this] { held_ = false; });
    flush();
}

void PrivateProfileFile::flushIfDue()
{
    if (pending_.empty())
        return;
    // The first change is written at once, so a file that cannot be written
    // is found before any more work is done.
    if (wroteWhileDeferred_ && sinceWrite_.elapsed() < std::max(kMinimumDeferMs, kDeferCostFactor * lastWriteCost_))
        return;
    wroteWhileDeferred_ = true;
    flush();
}

void PrivateProfileFile::flush()
{
    if (pending_.empty())
        return;
    // Changes that alter nothing take no lock, so a folder nobody may write
    // still allows them.
    if (refresh() && std::none_of(pending_.begin(), pending_.end(), [this](const Change &c) {
            const std::optional<QString> now = doc_.value(c.section, c.key);
            return c.value ? now != c.value : now.has_value();
        })) {
        pending_.clear();
        return;
    }
    locked([](const ProfileDocument &) {});
}

void PrivateProfileFile::locked(const std::function<void(const ProfileDocument &)> &step)
{
    QElapsedTimer cost;
    cost.start();
    // The lock, the read and the write all in one folder, whatever becomes of its name meanwhile.
    const int folderFd = folder().fd();
    const bool wasHeld = std::exchange(held_, true);
    const auto release = qScopeGuard([this, wasHeld] { held_ = wasHeld; });
    const FileLock lock(lockPathFor(fs::fileNameOf(resolved())), waitHook_, folderFd);
    if (!lock.held()) {
        pending_.clear();
        throw ProfileWriteError(path_);
    }
    if (!pending_.empty()) {
        writePending();
        lastWriteCost_ = cost.elapsed();
        sinceWrite_.start();
    } else if (!refresh()) {
        throw ProfileWriteError(path_);
    }
    step(doc_);
}

void PrivateProfileFile::writePending()
{
    std::vector<Change> changes;
    changes.swap(pending_);
    if (!refresh())
        throw ProfileWriteError(path_);
    std::vector<Change> replaced;
    bool changed = false;
    for (const Change &c : changes) {
        const std::optional<QString> old = doc_.value(c.section, c.key);
        const bool did = c.value ? doc_.setValue(c.section, c.key, *c.value) : doc_.removeKey(c.section, c.key);
        if (did && old && (!c.value || *old != *c.value))
            replaced.push_back({c.section, c.key, old});
        changed = changed || did;
    }
    if (!changed)
        return;
    // A value that the file still names, under its key or another, was not
    // replaced after all.
    const auto namedAgain = [this](const Change &r) { return doc_.anyValueEndsWith(*r.value); };
    // From here on the document in memory is ahead of the disk until written.
    stamp_.reset();

    const QString leaf = fs::fileNameOf(resolved());
    const FolderHandle &dir = folder();
    struct stat old {};
    const bool existed = dir.statOf(leaf, old);
    if (existed && !S_ISREG(old.st_mode))
        throw ProfileWriteError(path_);
    NewFile file = dir.create(".ini-", false);
    if (!file.isOpen())
        throw ProfileWriteError(path_);
    struct stat written {};
    const bool ok = (!existed || ::fchmod(file.fd(), old.st_mode & 07777) == 0)
                    && doc_.writeTo(
                        [&file](const char *data, qsizetype length) { return writeAll(file.fd(), data, length); })
                    && ::fsync(file.fd()) == 0 && ::fstat(file.fd(), &written) == 0 && dir.replace(file, leaf);
    if (!ok)
        throw ProfileWriteError(path_);
    stamp_ = Stamp{true, written.st_dev, written.st_ino, written.st_size, modifiedNs(written)};
    if (onReplaced_) {
        for (const Change &r : replaced) {
            if (!namedAgain(r))
                onReplaced_(*r.value);
        }
    }
}

} // namespace brisvale::platform
