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

// The device of the folder, or of its nearest ancestor that exists.
bool deviceOf(QString path, dev_t &device)
{
    struct stat st {};
    while (::stat(native(path).constData(), &st) != 0) {
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            return false;
        path = parent;
    }
    device = st.st_dev;
    return true;
}

// The top folder of the mount holding the folder `path`, found along its
// real path: a folder reached through a link to another file system has its
// top there, not where the link lies.
QString mountTop(const QString &path)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    struct stat st {};
    if (real.isEmpty() || ::stat(native(real).constData(), &st) != 0)
        return {};
    QString top = real;
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
    // A file on the home trash's file system goes there or nowhere.
    const QString home = homeTrash();
    dev_t homeDevice = 0;
    struct stat folder {};
    if (::stat(native(QFileInfo(source).absolutePath()).constData(), &folder) != 0)
        return false;
    if (deviceOf(home, homeDevice) && homeDevice == folder.st_dev)
        return makeTrash(home) && moveInto(home, source, source);
    // Another file system: its own trash at the top of its mount, where the
    // record names the file relative to that top.
    const QString realFolder = QFileInfo(QFileInfo(source).absolutePath()).canonicalFilePath();
    const QString top = mountTop(realFolder);
    if (top.isEmpty())
        return false;
    const QString mounted = mountTrash(top);
    if (mounted.isEmpty())
        return false;
    return moveInto(mounted, source, QDir(top).relativeFilePath(realFolder + u'/' + QFileInfo(source).fileName()));
}

} // namespace brisvale::platform
