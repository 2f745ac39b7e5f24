#include "platform/WindowsDirectory.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace brisvale::platform;

TEST(WindowsDirectory, EnvironmentWinsAndHoldsTheDataFiles)
{
    const QByteArray saved = qgetenv("BRISVALE_WINDIR");
    ASSERT_FALSE(saved.isEmpty()); // the test main sets a private one
    EXPECT_EQ(windowsDirectory(), QDir::cleanPath(QString::fromLocal8Bit(saved)));

    qputenv("BRISVALE_WINDIR", "/some/where/");
    EXPECT_EQ(windowsDirectory(), QStringLiteral("/some/where"));

    // Without the variable, a build tree falls back on the source resources.
    qunsetenv("BRISVALE_WINDIR");
    EXPECT_TRUE(fs::fileExists(fs::join(windowsDirectory(), QStringLiteral("TANVIK.html")))
                || fs::directoryExists(fs::join(windowsDirectory(), QStringLiteral("help"))));
    qputenv("BRISVALE_WINDIR", saved);
}
