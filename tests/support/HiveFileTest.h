#pragma once

#include "tests/support/TestEnvironment.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace brisvale::test {

// A test with a hive file of its own in a fresh folder, read and written whole.
class HiveFileTest : public ::testing::Test {
protected:
    void SetUp() override { path = freshFolder(QStringLiteral("hive")) + QStringLiteral("/registry.reg"); }
    QByteArray hive() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void putHive(const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString path;
};

} // namespace brisvale::test
