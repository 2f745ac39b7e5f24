#include "platform/PrivateProfile.h"

#include "platform/FileSystem.h"
#include "platform/ProfileDocument.h"

#include <QFile>
#include <QSaveFile>

namespace brisvale::platform {

namespace {

// Larger files are not a thumbnail data file anyone made; they read as empty
// rather than filling memory.
constexpr qint64 kMaximumSize = qint64(64) << 20;

bool hasLineBreak(const QString &text) { return text.contains(u'\n') || text.contains(u'\r'); }

} // namespace

ProfileWriteError::ProfileWriteError(const QString &path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()), path_(path),
      text_(QStringLiteral("Unable to write to %1").arg(path))
{}

QString ReadProfileString(const QString &file, const QString &section, const QString &key, const QString &defaultValue)
{
    const std::optional<QByteArray> bytes = fs::readSmallFile(fs::resolve(file), kMaximumSize);
    if (!bytes)
        return defaultValue;
    return ProfileDocument::parse(*bytes).value(section, key).value_or(defaultValue);
}

void WriteProfileString(const QString &file, const QString &section, const QString &key,
                        const std::optional<QString> &value)
{
    // A line break would split the entry and leave lines nobody wrote.
    if (hasLineBreak(section) || hasLineBreak(key) || (value && hasLineBreak(*value)))
        throw ProfileWriteError(file);
    const QString path = fs::resolve(file);
    const std::optional<QByteArray> bytes = fs::readSmallFile(path, kMaximumSize);
    if (!bytes)
        throw ProfileWriteError(file);
    ProfileDocument doc = ProfileDocument::parse(*bytes);
    const bool changed = value ? doc.setValue(section, key, *value) : doc.removeKey(section, key);
    if (!changed)
        return;
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    const QByteArray text = doc.serialize();
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
        throw ProfileWriteError(file);
}

} // namespace brisvale::platform
