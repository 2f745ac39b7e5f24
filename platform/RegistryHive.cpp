#include "platform/RegistryHive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace brisvale::platform {

namespace {

// Holds an exclusive flock on the lock file beside the hive for its lifetime.
class HiveLock {
public:
    explicit HiveLock(const QString &lockPath)
    {
        fd_ = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0)
            return;
        int rc;
        do {
            rc = ::flock(fd_, LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~HiveLock()
    {
        if (fd_ >= 0)
            ::close(fd_); // closing the last descriptor releases the lock
    }
    HiveLock(const HiveLock &) = delete;
    HiveLock &operator=(const HiveLock &) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

bool syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// The file a change really replaces: a hive kept as a link to a file
// elsewhere stays a link.
QString targetOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    return info.symLinkTarget();
}

} // namespace

QString RegistryHive::defaultPath()
{
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is ignored.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/brisvale/registry.reg");
}

RegistryHive::RegistryHive(QString filePath) : path_(std::move(filePath)) {}

std::optional<HiveDocument> RegistryHive::read() const
{
    QFile file(path_);
    if (!file.exists())
        return HiveDocument::parse(QByteArray());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(kMaximumSize + 1);
    if (bytes.size() > kMaximumSize || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return HiveDocument::parse(bytes);
}

bool RegistryHive::modify(const std::function<bool(HiveDocument &)> &change) const
{
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    const HiveLock lock(path_ + QStringLiteral(".lock"));
    if (!lock.held())
        return false;

    std::optional<HiveDocument> doc = read();
    if (!doc)
        return false;
    if (!change(*doc))
        return true;
    const QByteArray bytes = doc->serialize();

    const QString target = targetOf(path_);
    const QString targetFolder = QFileInfo(target).absolutePath();
    QTemporaryFile temp(targetFolder + u'/' + QFileInfo(target).fileName() + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return false;
    if (temp.write(bytes) != bytes.size() || !temp.flush() || ::fsync(temp.handle()) != 0)
        return false;
    if (beforeReplace_ && !beforeReplace_())
        return false;
    if (::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    temp.setAutoRemove(false);
    return true;
}

bool RegistryHive::flush() const
{
    return syncFolder(QFileInfo(targetOf(path_)).absolutePath());
}

} // namespace brisvale::platform
