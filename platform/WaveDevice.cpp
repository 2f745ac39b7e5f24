#include "platform/WaveDevice.h"

#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>

namespace brisvale::platform {

WaveFile WaveDevice::load(const QString &path)
{
    if (!fs::fileExists(path))
        return WaveFile::failed(WaveError::FileNotFound);
    const QString real = fs::resolve(path);
    // A pipe or device under a sound's name would block the game on open.
    if (!QFileInfo(real).isFile())
        return WaveFile::failed(WaveError::ReadFailed);
    QFile file(real);
    if (!file.open(QIODevice::ReadOnly))
        return WaveFile::failed(WaveError::ReadFailed);
    if (file.size() > WaveFile::kMaxFileBytes)
        return WaveFile::failed(WaveError::FileTooLarge);
    const QByteArray bytes = file.read(WaveFile::kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return WaveFile::failed(WaveError::ReadFailed);
    return WaveFile::parse(bytes);
}

} // namespace brisvale::platform
