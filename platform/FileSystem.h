#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// File access with the name rules the program's stored paths were written
// for: letter case does not matter when the exact name is missing, and
// directory listings come in case-insensitive name order.
namespace brisvale::platform::fs {

// The path naming the real file: each component that does not exist exactly
// is matched against its folder without regard to case (the exact name wins;
// among several case variants the first in case-insensitive order). Components
// that match nothing are kept as given. Relative paths stay relative.
QString resolve(const QString &path);

bool exists(const QString &path);
bool fileExists(const QString &path);
bool directoryExists(const QString &path);
bool removeFile(const QString &path);

enum class Entries { Files, Directories, All };

// Names (not paths) in `dir` that match any of the ';'-separated wildcard
// masks ("*.JPG;*.gif"; '*' and '?', any case; "*.*" also matches names
// without a dot), in case-insensitive name order. "." and ".." never appear.
QStringList findFiles(const QString &dir, const QString &masks, Entries which = Entries::Files);

// Names of files in `dir` matching the masks that text cannot name (bytes not
// valid in the file-name encoding), which the listings above pass over: shown
// with each byte outside printable ASCII escaped ("bad\xFF.jpg").
QStringList unnamableFiles(const QString &dir, const QString &masks);

// True when `name` matches the single wildcard mask, without regard to case.
bool matchesMask(const QString &name, const QString &mask);

// Orders names as the listing does: case-insensitive, exact spelling breaking ties.
bool nameLess(const QString &a, const QString &b);

QString currentDirectory();
bool setCurrentDirectory(const QString &path);
// The folder itself when it exists, else the nearest folder above it that
// does; for an empty path the current folder, or the home folder when that
// has gone.
QString nearestExistingFolder(const QString &path);

// Folder part of a path, with no trailing separator ("" when there is none;
// "/" for a file in the root).
QString folderOf(const QString &path);
// The last component of a path.
QString fileNameOf(const QString &path);
// The extension with its dot (".jpg"), or "" when the name has none.
QString extensionOf(const QString &path);
// Upper case of the letters a to z only; every other character stays as it is.
QString upperAscii(const QString &text);
// Lower case of the letters A to Z only.
QString lowerAscii(const QString &text);
// Joins a folder and a name with exactly one separator.
QString join(const QString &folder, const QString &name);

// The whole of a small file: empty when it does not exist, nothing when it
// cannot be read, is not a regular file (refused without waiting) or holds
// more than `maxBytes`. Memory grows with what is read,
// never with the bound.
std::optional<QByteArray> readSmallFile(const QString &path, qint64 maxBytes);

} // namespace brisvale::platform::fs
