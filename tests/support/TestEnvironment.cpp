#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

namespace brisvale::test {

namespace {
QTemporaryDir &root()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/brisvale-test-XXXXXX"));
    return dir;
}
} // namespace

void setUpIsolatedEnvironment()
{
    const QString base = root().path();
    const QString config = base + QStringLiteral("/config");
    const QString windir = base + QStringLiteral("/windows");
    QDir().mkpath(config);
    QDir().mkpath(windir);
    // The data files a real installation has in its Windows directory.
    const QString shipped = QStringLiteral(BRISVALE_SOURCE_RESOURCES);
    QDirIterator it(shipped, {QStringLiteral("*.BMP"), QStringLiteral("*.WAV"), QStringLiteral("*.Wav")}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        QFile::copy(it.filePath(), windir + u'/' + it.fileName());
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    qputenv("BRISVALE_WINDIR", QFile::encodeName(windir));
    qputenv("HOME", QFile::encodeName(base));
}

QString scratchRoot() { return root().path(); }

QString freshFolder(const QString &name)
{
    const QString path = root().path() + u'/' + name + u'-'
                         + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
    QDir().mkpath(path);
    return path;
}

QString testDataDir() { return qEnvironmentVariable("BRISVALE_TEST_DATA"); }

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

} // namespace brisvale::test
