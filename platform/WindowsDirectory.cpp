#include "platform/WindowsDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace brisvale::platform {

QString windowsDirectory()
{
    const QString fromEnv = qEnvironmentVariable("BRISVALE_WINDIR");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);

    // The share folder beside an installed program, wherever the tree was put.
    if (QCoreApplication::instance()) {
        const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/')
                                                  + QStringLiteral(BRISVALE_DATADIR_FROM_BINDIR));
        if (QFileInfo(installed).isDir())
            return installed;
    }

    // Run from a build tree (or by tests and tools without an application object).
    return QStringLiteral(BRISVALE_SOURCE_RESOURCES);
}

} // namespace brisvale::platform
