#include "platform/FolderHandle.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace brisvale::platform {

namespace {

QByteArray native(const QString &name) { return QFile::encodeName(name); }

bool sameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

QByteArray randomSuffix()
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix(6, 'X');
    for (char &c : suffix)
        c = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    return suffix;
}

// An unnamed file is named through the process's own view of its
// descriptors, which needs no privilege.
bool linkUnnamed(int fd, int folder, const QByteArray &name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, self.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    return errno == ENOENT && ::linkat(fd, "", folder, name.constData(), AT_EMPTY_PATH) == 0;
}

bool unnamedFilesWork()
{
    static const bool works = ::access("/proc/self/fd", X_OK) == 0;
    return works;
}

} // namespace

NewFile::~NewFile() { discard(); }

NewFile::NewFile(NewFile &&other) noexcept
    : fd_(std::exchange(other.fd_, -1)), folder_(other.folder_), temp_(std::move(other.temp_))
{
    other.temp_.clear();
}

NewFile &NewFile::operator=(NewFile &&other) noexcept
{
    if (this != &other) {
        discard();
        fd_ = std::exchange(other.fd_, -1);
        folder_ = other.folder_;
        temp_ = std::move(other.temp_);
        other.temp_.clear();
    }
    return *this;
}

void NewFile::discard()
{
    if (fd_ < 0)
        return;
    // The temporary name goes only while it is still this file's.
    struct stat mine {};
    struct stat there {};
    if (!temp_.isEmpty() && ::fstat(fd_, &mine) == 0
        && ::fstatat(folder_, temp_.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(mine, there))
        ::unlinkat(folder_, temp_.constData(), 0);
    ::close(fd_);
    fd_ = -1;
    temp_.clear();
}

FolderHandle::FolderHandle(const QString &path)
{
    const QByteArray name = path.isEmpty() ? QByteArrayLiteral(".") : native(path);
    fd_ = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that may be written but not listed is still held.
    if (fd_ < 0 && errno == EACCES)
        fd_ = ::open(name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

FolderHandle::~FolderHandle()
{
    if (fd_ >= 0)
        ::close(fd_);
}

FolderHandle::FolderHandle(FolderHandle &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FolderHandle &FolderHandle::operator=(FolderHandle &&other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool FolderHandle::statOf(const QString &name, struct stat &st) const
{
    return fd_ >= 0 && ::fstatat(fd_, native(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

NewFile FolderHandle::create(const char *prefix, bool unnamed) const
{
    NewFile file;
    if (fd_ < 0)
        return file;
    file.folder_ = fd_;
    if (unnamed && unnamedFilesWork()) {
        file.fd_ = ::openat(fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (file.fd_ >= 0)
            return file;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = QByteArray(prefix) + randomSuffix();
        file.fd_ = ::openat(fd_, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                            0666);
        if (file.fd_ >= 0) {
            file.temp_ = name;
            return file;
        }
        if (errno != EEXIST)
            break;
    }
    return file;
}

bool FolderHandle::holds(const NewFile &file, const QByteArray &name) const
{
    struct stat mine {};
    struct stat there {};
    return ::fstat(file.fd_, &mine) == 0 && ::fstatat(fd_, name.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0
           && sameFile(mine, there);
}

bool FolderHandle::link(NewFile &file, const QString &name) const
{
    if (fd_ < 0 || !file.isOpen())
        return false;
    const QByteArray target = native(name);
    bool linked = false;
    if (file.temp_.isEmpty()) {
        linked = linkUnnamed(file.fd_, fd_, target);
    } else {
        // A second name for the temporary, never following what stands at
        // either name; where the file system has no such names, a rename
        // that replaces nothing.
        linked = ::linkat(fd_, file.temp_.constData(), fd_, target.constData(), 0) == 0;
        if (!linked && errno != EEXIST) {
            linked = ::renameat2(fd_, file.temp_.constData(), fd_, target.constData(), RENAME_NOREPLACE) == 0;
            if (!linked && errno == EINVAL) {
                struct stat st {};
                if (::fstatat(fd_, target.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
                    errno = EEXIST;
                    return false;
                }
                linked = ::renameat(fd_, file.temp_.constData(), fd_, target.constData()) == 0;
            }
        }
    }
    if (!linked)
        return false;
    if (!holds(file, target)) {
        // Another program swapped the temporary: what now has the name is
        // its, and goes again; nothing was written through it.
        ::unlinkat(fd_, target.constData(), 0);
        errno = EAGAIN;
        return false;
    }
    const QByteArray temp = file.temp_;
    file.temp_.clear();
    if (!temp.isEmpty()) {
        struct stat mine {};
        struct stat there {};
        if (::fstat(file.fd_, &mine) == 0 && ::fstatat(fd_, temp.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0
            && sameFile(mine, there))
            ::unlinkat(fd_, temp.constData(), 0);
    }
    return true;
}

bool FolderHandle::replace(NewFile &file, const QString &name) const
{
    if (fd_ < 0 || !file.isOpen())
        return false;
    const QByteArray target = native(name);
    if (file.temp_.isEmpty()) {
        // An unnamed file gets a temporary name first: a rename needs one.
        for (int attempt = 0; attempt < 100 && file.temp_.isEmpty(); ++attempt) {
            const QByteArray temp = target.left(200) + ".~" + randomSuffix();
            if (linkUnnamed(file.fd_, fd_, temp))
                file.temp_ = temp;
            else if (errno != EEXIST)
                return false;
        }
        if (file.temp_.isEmpty())
            return false;
    }
    struct stat old {};
    if (::fstatat(fd_, target.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(old.st_mode))
        return false;
    if (::renameat(fd_, file.temp_.constData(), fd_, target.constData()) != 0)
        return false;
    file.temp_.clear();
    if (holds(file, target))
        return true;
    // What was renamed was not the file written: take it away again.
    ::unlinkat(fd_, target.constData(), 0);
    errno = EAGAIN;
    return false;
}

bool FolderHandle::removeIf(const QString &name, const std::function<bool(const struct stat &)> &accept) const
{
    struct stat st {};
    if (fd_ < 0 || !statOf(name, st) || !accept(st))
        return false;
    return ::unlinkat(fd_, native(name).constData(), 0) == 0;
}

QStringList FolderHandle::entries() const
{
    QStringList names;
    const int copy = fd_ < 0 ? -1 : ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copy < 0)
        return names;
    DIR *dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return names;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(QFile::decodeName(name));
    }
    ::closedir(dir);
    return names;
}

} // namespace brisvale::platform
