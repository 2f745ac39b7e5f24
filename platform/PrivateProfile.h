#pragma once

#include <QString>
#include <optional>
#include <stdexcept>

namespace brisvale::platform {

// A private-profile file that could not be written. The text is the one the
// player sees in the error box: "Unable to write to " and the file's path.
class ProfileWriteError : public std::runtime_error {
public:
    explicit ProfileWriteError(const QString &path);
    QString text() const { return text_; }
    QString path() const { return path_; }

private:
    QString path_;
    QString text_;
};

// Single-key access to private-profile (INI) files, read afresh on every call
// (PrivateProfileFile keeps one open for many). The file's name is resolved
// without regard to letter case. A missing or unreadable file, or anything
// that is not a regular file, reads as empty.
QString ReadProfileString(const QString &file, const QString &section, const QString &key, const QString &defaultValue);

// Writes the value, or deletes the key when `value` is nothing. The first
// write creates the file; each change replaces it whole through a temporary
// file beside it, under the lock other writers take, so a failure leaves the
// old file as it was. A change that alters nothing writes nothing. Throws
// ProfileWriteError on failure, and when a link or anything but a regular
// file stands in the file's place.
void WriteProfileString(const QString &file, const QString &section, const QString &key,
                        const std::optional<QString> &value);

} // namespace brisvale::platform
