#include "platform/PrivateProfile.h"

#include "platform/PrivateProfileFile.h"

namespace brisvale::platform {

ProfileWriteError::ProfileWriteError(const QString &path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()), path_(path),
      text_(QStringLiteral("Unable to write to %1").arg(path))
{}

QString ReadProfileString(const QString &file, const QString &section, const QString &key, const QString &defaultValue)
{
    PrivateProfileFile profile(file);
    return profile.value(section, key).value_or(defaultValue);
}

void WriteProfileString(const QString &file, const QString &section, const QString &key,
                        const std::optional<QString> &value)
{
    PrivateProfileFile profile(file);
    if (value)
        profile.setValue(section, key, *value);
    else
        profile.removeKey(section, key);
}

} // namespace brisvale::platform
