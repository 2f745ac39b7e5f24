#include "platform/Trash.h"

#include "platform/WriteAll.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brisvale::platform {

namespace {

QByteArray native(const QString &path) { return QFile::encodeName(path); }

bool lstatOf(const QString &path, struct stat &st) { return ::lstat(native(path).constData(), &st) == 0; }

// A folder of ours that is really a folder, never a link to one.
bool ownFolder(const QString &path)
{
    struct stat st {};
    return lstatOf(path, st) && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// Makes the folder (and its missing parents) private to the user.
bool makeFolder(const QString &path)
{
    struct stat st {};
    if (lstatOf(path, st))
        return ownFolder(path);
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path && !QFileInfo::exists(parent) && !makeFolder(parent))
        return false;
    return ::mkdir(native(path).constData(), 0700) == 0 || (errno == EEXIST && ownFolder(path));
}

bool makeTrash(const QString &trash)
{
    return makeFolder(trash) && makeFolder(trash + QStringLiteral("/files"))
           && makeFolder(trash + QStringLiteral("/info"));
}

// The top folder of the mount holding `path`.
QString mountTop(const QString &path)
{
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0)
        return {};
    QString top = path;
    for (;;) {
        const QString parent = QFileInfo(top).absolutePath();
        struct stat up {};
        if (parent == top || ::stat(native(parent).constData(), &up) != 0 || up.st_dev != st.st_dev)
            return top;
        top = parent;
    }
}

// The trash of the mount at `top`, made when missing; "" when there is none
// that may be used.
QString mountTrash(const QString &top)
{
    const QString uid = QString::number(::getuid());
    const QString shared = QDir(top).filePath(QStringLiteral(".Trash"));
    struct stat st {};
    // The administrator's shared trash counts only as a sticky folder, not a link.
    if (lstatOf(shared, st) && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString mine = shared + u'/' + uid;
        if (makeTrash(mine))
            return mine;
    }
    const QString own = QDir(top).filePath(QStringLiteral(".Trash-") + uid);
    return makeTrash(own) ? own : QString();
}

// Moves `source` into the trash under a name no file there has yet.
bool moveInto(const QString &trash, const QString &source, const QString &recordedPath)
{
    const QString name = QFileInfo(source).fileName();
    const QByteArray info = "[Trash Info]\nPath=" + QUrl::toPercentEncoding(recordedPath, "/")
                            + "\nDeletionDate=" + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n';
    for (int n = 1; n < 10000; ++n) {
        const QString entry = n == 1 ? name : name + u'.' + QString::number(n);
        const QString infoPath = trash + QStringLiteral("/info/") + entry + QStringLiteral(".trashinfo");
        const int fd = ::open(native(infoPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool written = writeAll(fd, info.constData(), info.size());
        ::close(fd);
        if (!written) {
            ::unlink(native(infoPath).constData());
            return false;
        }
        const QString target = trash + QStringLiteral("/files/") + entry;
        if (::renameat2(AT_FDCWD, native(source).constData(), AT_FDCWD, native(target).constData(), RENAME_NOREPLACE)
            == 0)
            return true;
        const int error = errno;
        ::unlink(native(infoPath).constData());
        if (error != EEXIST)
            return false;
    }
    return false;
}

} // namespace

QString Trash::homeTrash()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/Trash"));
}

bool Trash::moveToTrash(const QString &path)
{
    struct stat file {};
    const QString source = QFileInfo(path).absoluteFilePath();
    if (!lstatOf(source, file) || S_ISDIR(file.st_mode))
        return false;
    const QString home = homeTrash();
    struct stat trash {};
    if (makeTrash(home) && ::stat(native(home).constData(), &trash) == 0 && trash.st_dev == file.st_dev)
        return moveInto(home, source, source);
    // Another file system: its own trash at the top of its mount, where the
    // record names the file relative to that top.
    const QString top = mountTop(QFileInfo(source).absolutePath());
    if (top.isEmpty())
        return false;
    const QString mounted = mountTrash(top);
    if (mounted.isEmpty())
        return false;
    return moveInto(mounted, source, QDir(top).relativeFilePath(source));
}

} // namespace brisvale::platform
