#include "platform/WindowsDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace brisvale::platform {

namespace {

// A build tree is recognised by the CMake cache in the executable's folder or
// one of its parents.
bool runningFromBuildTree()
{
    if (!QCoreApplication::instance())
        return true; // tests and tools without an application object
    QDir dir(QCoreApplication::applicationDirPath());
    for (int depth = 0; depth < 4; ++depth) {
        if (QFileInfo::exists(dir.filePath(QStringLiteral("CMakeCache.txt"))))
            return true;
        if (!dir.cdUp())
            break;
    }
    return false;
}

} // namespace

QString windowsDirectory()
{
    const QString fromEnv = qEnvironmentVariable("BRISVALE_WINDIR");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);

    const QString sourceResources = QStringLiteral(BRISVALE_SOURCE_RESOURCES);
    if (runningFromBuildTree() && QFileInfo(sourceResources).isDir())
        return sourceResources;

    if (QCoreApplication::instance()) {
        const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath()
                                                  + QStringLiteral("/../")
                                                  + QStringLiteral(BRISVALE_INSTALL_DATADIR));
        if (QFileInfo(installed).isDir())
            return installed;
    }
    return sourceResources;
}

} // namespace brisvale::platform
