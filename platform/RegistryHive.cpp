#include "platform/RegistryHive.h"

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/WriteAll.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace brisvale::platform {

namespace {

// The new hive on its way: a uniquely named file beside the target that is
// removed again unless it replaced the target.
class TempFile {
public:
    explicit TempFile(const QByteArray &target) : target_(target), name_(target + ".XXXXXX") {}
    ~TempFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (created_ && !replaced_)
            ::unlink(name_.constData());
    }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    bool open()
    {
        fd_ = ::mkostemp(name_.data(), O_CLOEXEC);
        created_ = fd_ >= 0;
        return created_;
    }
    bool writeAll(const QByteArray &bytes) { return platform::writeAll(fd_, bytes.constData(), bytes.size()); }
    bool commitToDisk()
    {
        const bool synced = ::fsync(fd_) == 0;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return synced && closed;
    }
    bool replace()
    {
        replaced_ = ::rename(name_.constData(), target_.constData()) == 0;
        return replaced_;
    }

private:
    QByteArray target_;
    QByteArray name_;
    int fd_ = -1;
    bool created_ = false;
    bool replaced_ = false;
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
    const std::optional<QByteArray> bytes = fs::readSmallFile(path_, kMaximumSize);
    if (!bytes)
        return std::nullopt;
    return HiveDocument::parse(*bytes);
}

bool RegistryHive::modify(const std::function<bool(HiveDocument &)> &change) const
{
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    const FileLock lock(path_ + QStringLiteral(".lock"));
    if (!lock.held())
        return false;

    std::optional<HiveDocument> doc = read();
    if (!doc)
        return false;
    if (!change(*doc))
        return true;
    const QByteArray bytes = doc->serialize();

    const QString target = targetOf(path_);
    TempFile temp(QFile::encodeName(target));
    if (!temp.open() || !temp.writeAll(bytes) || !temp.commitToDisk())
        return false;
    if (beforeReplace_ && !beforeReplace_())
        return false;
    return temp.replace();
}

bool RegistryHive::flush() const { return syncFolder(QFileInfo(targetOf(path_)).absolutePath()); }

} // namespace brisvale::platform
