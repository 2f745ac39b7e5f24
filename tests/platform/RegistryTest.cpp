#include "platform/RegistryError.h"
#include "platform/RegistryKey.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace brisvale::platform;

namespace {

// The text of the RegistryError the call throws, or "<no error>".
template <typename F>
QString errorOf(F &&call)
{
    try {
        call();
    } catch (const RegistryError &e) {
        return e.text();
    }
    return QStringLiteral("<no error>");
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = brisvale::test::freshFolder(QStringLiteral("hive"));
        path = folder + QStringLiteral("/registry.reg");
    }
    QString folder;
    QString path;
};

} // namespace

TEST_F(Registry, DefaultPathFollowsTheConfigFolder)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(RegistryHive::defaultPath(), QStringLiteral("/somewhere/config/brisvale/registry.reg"));
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(RegistryHive::defaultPath(), QDir::homePath() + QStringLiteral("/.config/brisvale/registry.reg"));
    qputenv("XDG_CONFIG_HOME", saved);
}

TEST_F(Registry, CreatesTheHiveAndKeysOnlyWhenMissing)
{
    const QString deep = folder + QStringLiteral("/a/b/registry.reg");
    RegistryHive hive(deep);
    int writes = 0;
    hive.setBeforeReplace([&writes] {
        ++writes;
        return true;
    });

    RegistryKey root = RegistryKey::openOrCreate(hive, QStringLiteral("MORVEL"));
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(brisvale::test::fileContents(deep), QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\MORVEL]\n"));
    EXPECT_FALSE(root.openSubKey(QStringLiteral("Bet")).has_value());
    EXPECT_EQ(root.queryString(QStringLiteral("Anything")), std::nullopt);
    EXPECT_EQ(writes, 1);

    RegistryKey bet = root.createSubKey(QStringLiteral("Bet"));
    bet.setString(QStringLiteral("Amount"), QStringLiteral("25"));
    bet.flush();
    RegistryKey::openOrCreate(hive, QStringLiteral("MORVEL"));
    root.createSubKey(QStringLiteral("Bet"));
    EXPECT_EQ(writes, 3);
    ASSERT_TRUE(root.openSubKey(QStringLiteral("bet")).has_value());
    EXPECT_EQ(root.openSubKey(QStringLiteral("bet"))->queryString(QStringLiteral("AMOUNT")), QStringLiteral("25"));
    // Nothing but the hive and its lock file is left in the folder.
    EXPECT_EQ(QDir(folder + QStringLiteral("/a/b")).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("registry.reg"), QStringLiteral("registry.reg.lock")}));

    bet.close();
    EXPECT_EQ(errorOf([&] { bet.setString(QStringLiteral("Amount"), QStringLiteral("5")); }),
              QStringLiteral("Failed to set data for 'Amount'"));
}

TEST_F(Registry, ValuesOfOtherTypesAndDamagedDataAreErrors)
{
    brisvale::test::writeFile(path, "REGEDIT4\n"
                                    "[HKEY_CURRENT_USER\\MORVEL\\Bet]\n"
                                    "\"Total\"=dword:000003e8\n"
                                    "\"Mask\"=hex:ff\n"
                                    "\"Name\"=hex(1):41,00,4\n"
                                    "\"Amount\"=\"5\"\n");
    const RegistryHive hive(path);
    const RegistryKey bet = RegistryKey::openOrCreate(hive, QStringLiteral("MORVEL\\Bet"));
    EXPECT_EQ(errorOf([&] { bet.queryString(QStringLiteral("Total")); }),
              QStringLiteral("Invalid data type for 'Total'"));
    EXPECT_EQ(errorOf([&] { bet.queryString(QStringLiteral("Mask")); }),
              QStringLiteral("Invalid data type for 'Mask'"));
    EXPECT_EQ(errorOf([&] { bet.queryString(QStringLiteral("Name")); }),
              QStringLiteral("Failed to get data for 'Name'"));
    EXPECT_EQ(bet.queryString(QStringLiteral("Amount")), QStringLiteral("5"));

    // Writing a string over a value of another type turns it into a string.
    bet.setString(QStringLiteral("Total"), QStringLiteral("1000"));
    EXPECT_EQ(bet.queryString(QStringLiteral("Total")), QStringLiteral("1000"));
    EXPECT_EQ(bet.queryString(QStringLiteral("Amount")), QStringLiteral("5"));
}

TEST_F(Registry, AHiveThatCannotBeReadOrWrittenGivesTheRegistryTexts)
{
    // A settings folder that cannot exist: its parent is a file.
    brisvale::test::writeFile(folder + QStringLiteral("/blocker"), "not a folder");
    const RegistryHive nowhere(folder + QStringLiteral("/blocker/brisvale/registry.reg"));
    EXPECT_EQ(errorOf([&] { RegistryKey::openOrCreate(nowhere, QStringLiteral("MORVEL")); }),
              QStringLiteral("Failed to create key MORVEL"));

    // A hive that reads but cannot be changed: its lock cannot be taken.
    brisvale::test::writeFile(
        path, "REGEDIT4\n\n[HKEY_CURRENT_USER\\MORVEL]\n\n[HKEY_CURRENT_USER\\MORVEL\\Bet]\n\"Amount\"=\"5\"\n");
    const QByteArray before = brisvale::test::fileContents(path);
    ASSERT_TRUE(QDir().mkdir(path + QStringLiteral(".lock")));
    const RegistryHive locked(path);
    const RegistryKey root = RegistryKey::openOrCreate(locked, QStringLiteral("MORVEL"));
    EXPECT_EQ(errorOf([&] { root.createSubKey(QStringLiteral("Payouts")); }),
              QStringLiteral("Failed to create key Payouts"));
    const RegistryKey bet = root.createSubKey(QStringLiteral("Bet"));
    EXPECT_EQ(bet.queryString(QStringLiteral("Amount")), QStringLiteral("5"));
    EXPECT_EQ(errorOf([&] { bet.setString(QStringLiteral("Amount"), QStringLiteral("10")); }),
              QStringLiteral("Failed to set data for 'Amount'"));
    EXPECT_EQ(brisvale::test::fileContents(path), before);

    // A hive that cannot be read at all.
    QDir().rmdir(path + QStringLiteral(".lock"));
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_EQ(errorOf([&] { RegistryKey::openOrCreate(locked, QStringLiteral("MORVEL")); }),
              QStringLiteral("Failed to create key MORVEL"));
    EXPECT_EQ(errorOf([&] { bet.queryString(QStringLiteral("Amount")); }),
              QStringLiteral("Failed to get data for 'Amount'"));
    EXPECT_FALSE(root.openSubKey(QStringLiteral("Bet")).has_value());
}

TEST_F(Registry, AnOversizedFileIsNotTakenForAHive)
{
    QByteArray huge("REGEDIT4\n[HKEY_CURRENT_USER\\MORVEL]\n\"Big\"=\"");
    huge.append(QByteArray(RegistryHive::kMaximumSize, 'x'));
    huge.append("\"\n");
    brisvale::test::writeFile(path, huge);
    const RegistryHive hive(path);
    EXPECT_FALSE(hive.read().has_value());
    EXPECT_EQ(errorOf([&] { RegistryKey::openOrCreate(hive, QStringLiteral("MORVEL")); }),
              QStringLiteral("Failed to create key MORVEL"));
    EXPECT_EQ(QFileInfo(path).size(), huge.size());
}

TEST_F(Registry, AWriteThatFailsBeforeTheRenameLeavesTheOldHiveWhole)
{
    brisvale::test::writeFile(path, "REGEDIT4\n\n[HKEY_CURRENT_USER\\MORVEL\\Bet]\n\"Total\"=\"1500\"\n; a note\n");
    const QByteArray before = brisvale::test::fileContents(path);
    RegistryHive hive(path);
    QString tempSeen;
    hive.setBeforeReplace([&] {
        // The complete new hive is waiting beside the old one.
        const QStringList temps = QDir(folder).entryList(QDir::Files);
        for (const QString &name : temps) {
            if (name != QStringLiteral("registry.reg.lock"))
                tempSeen = brisvale::test::fileContents(folder + u'/' + name);
        }
        return false;
    });
    const RegistryKey bet = RegistryKey::openOrCreate(hive, QStringLiteral("MORVEL\\Bet"));
    EXPECT_EQ(errorOf([&] { bet.setString(QStringLiteral("Total"), QStringLiteral("2000")); }),
              QStringLiteral("Failed to set data for 'Total'"));
    EXPECT_TRUE(tempSeen.contains(QStringLiteral("\"Total\"=\"2000\"")));
    EXPECT_EQ(brisvale::test::fileContents(path), before);
    EXPECT_EQ(bet.queryString(QStringLiteral("Total")), QStringLiteral("1500"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("registry.reg"), QStringLiteral("registry.reg.lock")}));
}

TEST_F(Registry, AHiveKeptAsALinkStaysALink)
{
    const QString real = brisvale::test::freshFolder(QStringLiteral("dotfiles")) + QStringLiteral("/brisvale.reg");
    brisvale::test::writeFile(real, "REGEDIT4\n");
    ASSERT_TRUE(QFile::link(real, path));
    const RegistryHive hive(path);
    RegistryKey::openOrCreate(hive, QStringLiteral("MORVEL")).setString(QStringLiteral("X"), QStringLiteral("1"));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(brisvale::test::fileContents(real).contains("\"X\"=\"1\""));
}

TEST_F(Registry, TwoProgramsWritingAtOnceBothLand)
{
    const int perWriter = 40;
    QProcess first;
    QProcess second;
    const QString writer = QStringLiteral(REGISTRY_WRITER);
    first.start(writer, {path, QStringLiteral("MORVEL\\Shared"), QStringLiteral("A"), QString::number(perWriter)});
    second.start(writer, {path, QStringLiteral("MORVEL\\Shared"), QStringLiteral("B"), QString::number(perWriter)});
    ASSERT_TRUE(first.waitForFinished(120000));
    ASSERT_TRUE(second.waitForFinished(120000));
    ASSERT_EQ(first.exitCode(), 0) << first.readAllStandardError().constData();
    ASSERT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();

    const RegistryHive hive(path);
    const RegistryKey key = RegistryKey::openOrCreate(hive, QStringLiteral("MORVEL\\Shared"));
    for (int i = 0; i < perWriter; ++i) {
        const QString expected = QStringLiteral("value %1").arg(i);
        EXPECT_EQ(key.queryString(QStringLiteral("A%1").arg(i)), expected);
        EXPECT_EQ(key.queryString(QStringLiteral("B%1").arg(i)), expected);
    }
    // One key block, not one per writer.
    EXPECT_EQ(brisvale::test::fileContents(path).count("[HKEY_CURRENT_USER\\MORVEL\\Shared]"), 1);
}
