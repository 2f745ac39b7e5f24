#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brisvale::platform::fs {

namespace {

bool lexists(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QStringList rawEntries(const QString &dir)
{
    QDir d(dir.isEmpty() ? QStringLiteral(".") : dir);
    return d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
}

// Glob match with '*' and '?', case-insensitive, iterative so hostile masks
// cannot blow the stack.
bool globMatch(const QString &name, const QString &mask)
{
    qsizetype n = 0, m = 0, starM = -1, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == u'?' || mask[m].toCaseFolded() == name[n].toCaseFolded())) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == u'*') {
            starM = m++;
            starN = n;
        } else if (starM >= 0) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

} // namespace

bool nameLess(const QString &a, const QString &b)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    if (c != 0)
        return c < 0;
    return a < b;
}

QString resolve(const QString &path)
{
    if (path.isEmpty() || lexists(path))
        return path;

    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString base = absolute ? QStringLiteral("/") : QString();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        const QString exact = base.isEmpty() ? part : join(base, part);
        if (part == u"." || part == u".." || lexists(exact)) {
            base = exact;
            continue;
        }
        QStringList matches;
        for (const QString &entry : rawEntries(base)) {
            if (QString::compare(entry, part, Qt::CaseInsensitive) == 0)
                matches << entry;
        }
        if (matches.isEmpty()) {
            // Nothing to resolve against: keep the rest as the caller wrote it.
            QString rest = parts.mid(i).join(u'/');
            if (path.endsWith(u'/'))
                rest += u'/';
            return base.isEmpty() ? rest : join(base, rest);
        }
        std::sort(matches.begin(), matches.end(), nameLess);
        base = base.isEmpty() ? matches.first() : join(base, matches.first());
    }
    if (path.endsWith(u'/') && !base.endsWith(u'/'))
        base += u'/';
    return base;
}

bool exists(const QString &path) { return !path.isEmpty() && QFileInfo::exists(resolve(path)); }

bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(resolve(path));
    return info.exists() && !info.isDir();
}

bool directoryExists(const QString &path) { return !path.isEmpty() && QFileInfo(resolve(path)).isDir(); }

bool removeFile(const QString &path) { return fileExists(path) && QFile::remove(resolve(path)); }

bool matchesMask(const QString &name, const QString &mask)
{
    const QString m = mask.trimmed();
    if (m.isEmpty())
        return false;
    if (m == u"*.*" || m == u"*")
        return true;
    if (globMatch(name, m))
        return true;
    // "NAME.*" also matches a name without any extension, as the original
    // platform's search does.
    if (m.endsWith(QStringLiteral(".*")) && !name.contains(u'.'))
        return globMatch(name, m.left(m.size() - 2));
    return false;
}

QStringList findFiles(const QString &dir, const QString &masks, Entries which)
{
    const QString real = resolve(dir.isEmpty() ? QStringLiteral(".") : dir);
    const QStringList maskList = masks.split(u';', Qt::SkipEmptyParts);
    QStringList out;
    for (const QString &entry : rawEntries(real)) {
        const QFileInfo info(join(real, entry));
        const bool isDir = info.isDir();
        if ((which == Entries::Files && isDir) || (which == Entries::Directories && !isDir))
            continue;
        if (std::any_of(maskList.begin(), maskList.end(),
                        [&](const QString &mask) { return matchesMask(entry, mask); }))
            out << entry;
    }
    std::sort(out.begin(), out.end(), nameLess);
    return out;
}

QStringList unnamableFiles(const QString &dir, const QString &masks)
{
    QStringList out;
    DIR *d = ::opendir(QFile::encodeName(resolve(dir.isEmpty() ? QStringLiteral(".") : dir)).constData());
    if (!d)
        return out;
    const QStringList maskList = masks.split(u';', Qt::SkipEmptyParts);
    while (const dirent *entry = ::readdir(d)) {
        const QByteArray raw(entry->d_name);
        if (QFile::encodeName(QFile::decodeName(raw)) == raw || entry->d_type == DT_DIR)
            continue;
        QString shown;
        for (const char c : raw) {
            const auto byte = uchar(c);
            shown += byte >= 0x20 && byte < 0x7F && byte != '\\'
                         ? QString(QChar(byte))
                         : QStringLiteral("\\x") + QString::number(byte, 16).toUpper().rightJustified(2, u'0');
        }
        if (std::any_of(maskList.begin(), maskList.end(),
                        [&](const QString &mask) { return matchesMask(shown, mask); }))
            out << shown;
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), nameLess);
    return out;
}

QString currentDirectory() { return QDir::currentPath(); }

bool setCurrentDirectory(const QString &path) { return !path.isEmpty() && QDir::setCurrent(resolve(path)); }

QString nearestExistingFolder(const QString &path)
{
    // A removed current folder has no name any more: getcwd gives nothing.
    QString at = path.isEmpty() ? currentDirectory() : QDir::cleanPath(QDir(currentDirectory()).absoluteFilePath(path));
    if (at.isEmpty())
        at = QDir::homePath();
    while (!directoryExists(at)) {
        const QString up = folderOf(at);
        if (up.isEmpty() || up == at)
            return QStringLiteral("/");
        at = up;
    }
    return at;
}

QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString fileNameOf(const QString &path) { return path.mid(path.lastIndexOf(u'/') + 1); }

QString extensionOf(const QString &path)
{
    const QString name = fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

QString upperAscii(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return out;
}

QString lowerAscii(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return out;
}

QString join(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

std::optional<QByteArray> readSmallFile(const QString &path, qint64 maxBytes)
{
    // Opened without waiting: a pipe or a device under the name is refused at
    // once, whenever it was put there.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    struct stat st {};
    QFile file;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    // Read in pieces: asking for the bound at once would set that much aside.
    constexpr qint64 kPiece = qint64(64) * 1024;
    QByteArray bytes;
    for (;;) {
        const QByteArray piece = file.read(std::min(kPiece, maxBytes + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
        if (bytes.size() > maxBytes)
            return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace brisvale::platform::fs
