#include "game/TableSettings.h"
#include "game/SettingsStore.h"

#include "tests/support/HiveFileTest.h"

#include <QFile>
#include <gtest/gtest.h>

using brisvale::SettingsStore;
using brisvale::TableSettings;
using brisvale::platform::RegistryHive;

namespace {

class Table : public brisvale::test::HiveFileTest {};

} // namespace

TEST_F(Table, SavesInTheClosingOrderWithItsRules)
{
    TableSettings t;
    t.betAmount = 25;
    t.total = 30; // stored even though it is 50 or less
    t.formColor = 0x00FF00;
    t.pieColor = 0;                           // black is never remembered
    t.amountColor = std::int32_t(0x8000000F); // nor a system colour
    t.totalColor = 255;
    t.sound = false;
    t.pictureFlags[2] = false;
    t.payouts = {-1, 0, 1, 2, 3, 4, 7, 11, 49, -1};
    SettingsStore store{RegistryHive(path)};
    EXPECT_EQ(t.save(store), std::nullopt);
    EXPECT_EQ(hive(), QByteArray("REGEDIT4\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\MORVEL]\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\MORVEL\\Bet]\n"
                                 "\"Amount\"=\"25\"\n"
                                 "\"Total\"=\"30\"\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\MORVEL\\Settings]\n"
                                 "\"FormColor\"=\"65280\"\n"
                                 "\"TotalColor\"=\"255\"\n"
                                 "\"Sound\"=\"0\"\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\MORVEL\\ShowPicture]\n"
                                 "\"Picture1\"=\"1\"\n"
                                 "\"Picture2\"=\"0\"\n"
                                 "\"Picture3\"=\"1\"\n"
                                 "\"Picture4\"=\"1\"\n"
                                 "\"Picture5\"=\"1\"\n"
                                 "\"Picture6\"=\"1\"\n"
                                 "\"Picture7\"=\"1\"\n"
                                 "\"Picture8\"=\"1\"\n"
                                 "\"Picture9\"=\"1\"\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\MORVEL\\Payouts]\n"
                                 "\"H1\"=\"0\"\n"
                                 "\"H2\"=\"1\"\n"
                                 "\"H3\"=\"2\"\n"
                                 "\"H4\"=\"3\"\n"
                                 "\"H5\"=\"4\"\n"
                                 "\"H6\"=\"7\"\n"
                                 "\"H7\"=\"11\"\n"
                                 "\"H8\"=\"49\"\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\MORVEL\\Trainer]\n"
                                 "\"WarnCostlyDraw\"=\"0\"\n"));

    TableSettings back;
    EXPECT_EQ(back.load(store), std::nullopt);
    EXPECT_EQ(back.betAmount, 25);
    EXPECT_EQ(back.total, 30);
    EXPECT_EQ(back.formColor, 0x00FF00);
    EXPECT_EQ(back.pieColor, -1);
    EXPECT_EQ(back.amountColor, -1);
    EXPECT_EQ(back.totalColor, 255);
    EXPECT_FALSE(back.sound);
    EXPECT_EQ(back.pictureFlags, t.pictureFlags);
    EXPECT_EQ(back.payouts, t.payouts);
}

TEST_F(Table, AValueThatCannotBeReadKeepsItsDefaultAndTheRestAreRead)
{
    putHive("REGEDIT4\n"
            "[HKEY_CURRENT_USER\\MORVEL\\Settings]\n"
            "\"PieColor\"=dword:000000ff\n"
            "\"AmountColor\"=\"255\"\n"
            "\"Sound\"=\"0\"\n"
            "[HKEY_CURRENT_USER\\MORVEL\\Bet]\n"
            "\"Amount\"=\"50\"\n"
            "\"Total\"=hex:01\n"
            "[HKEY_CURRENT_USER\\MORVEL\\Payouts]\n"
            "\"H3\"=\"0\"\n");
    SettingsStore store{RegistryHive(path)};
    TableSettings t;
    // The first failure in reading order is the one reported.
    EXPECT_EQ(t.load(store), QStringLiteral("Invalid data type for 'PieColor'"));
    EXPECT_EQ(t.pieColor, -1);
    EXPECT_EQ(t.amountColor, 255);
    EXPECT_FALSE(t.sound);
    EXPECT_EQ(t.payouts[3], 0);
    EXPECT_EQ(t.betAmount, 50);
    EXPECT_EQ(t.total, -1);
}

TEST_F(Table, AWriteThatFailsIsSkippedAndTheRestAreWritten)
{
    RegistryHive failing(path);
    int replacement = 0;
    // The third replacement of the hive is the Amount value (after the root
    // and the Bet section were created).
    failing.setBeforeReplace([&replacement] { return ++replacement != 3; });
    SettingsStore store{failing};
    TableSettings t;
    t.betAmount = 40;
    t.total = 900;
    t.payouts[9] = 99;
    EXPECT_EQ(t.save(store), QStringLiteral("Failed to set data for 'Amount'"));

    SettingsStore reader{RegistryHive(path)};
    EXPECT_EQ(reader.readInteger(QStringLiteral("Bet"), QStringLiteral("Amount"), -1), -1);
    EXPECT_EQ(reader.readInteger(QStringLiteral("Bet"), QStringLiteral("Total"), -1), 900);
    EXPECT_EQ(reader.readInteger(QStringLiteral("Payouts"), QStringLiteral("H9"), -1), 99);
    EXPECT_TRUE(reader.readBool(QStringLiteral("ShowPicture"), QStringLiteral("Picture9"), false));
}
