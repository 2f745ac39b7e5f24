#include "game/SettingsStore.h"
#include "game/SettingsTable.h"
#include "platform/RegistryError.h"

#include "tests/support/HiveFileTest.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

#include <limits>

using brisvale::SettingsStore;
using brisvale::platform::HiveDocument;
using brisvale::platform::RegistryError;
using brisvale::platform::RegistryHive;

namespace {

class Store : public brisvale::test::HiveFileTest {};

} // namespace

TEST(StoredInteger, ParsesDecimalAndBothHexForms)
{
    const struct {
        const char *text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"0x10", 16},
        {"0X1f", 31},
        {"$10", 16},
        {"$ff", 255},
        {"-$10", -16},
        {"1000", 1000},
        {"-5", -5},
        {"+7", 7},
        {" 42", 42},
        {"007", 7},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483647", std::numeric_limits<std::int32_t>::max()},
        // Hexadecimal colours and system colours keep all 32 bits.
        {"0xFFFFFFFF", -1},
        {"$8000000F", std::int32_t(0x8000000F)},
        // Not numbers: the caller's default.
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"12abc", std::nullopt},
        {"42 ", std::nullopt},
        {"1.5", std::nullopt},
        {"-", std::nullopt},
        {"0xg1", std::nullopt},
        {"0x-5", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"0x100000000", std::nullopt},
        {"$1FFFFFFFF", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SettingsStore::parseInteger(QString::fromLatin1(c.text)), c.value) << c.text;
    }
}

TEST_F(Store, EveryAccessLeavesTheRootKeyButReadsCreateNoSection)
{
    SettingsStore store{RegistryHive(path)};
    EXPECT_EQ(store.readInteger(QStringLiteral("Bet"), QStringLiteral("Total"), -1), -1);
    EXPECT_EQ(store.readString(QStringLiteral("Sound"), QStringLiteral("WAVFILE1"), QStringLiteral("Error")),
              QStringLiteral("Error"));
    EXPECT_TRUE(store.readBool(QStringLiteral("Settings"), QStringLiteral("Sound"), true));
    EXPECT_EQ(hive(), QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\MORVEL]\n"));
}

TEST_F(Store, WritesEveryValueAsText)
{
    SettingsStore store{RegistryHive(path)};
    store.writeInteger(QStringLiteral("Bet"), QStringLiteral("Amount"), 25);
    store.writeInteger(QStringLiteral("Bet"), QStringLiteral("Total"), -300);
    store.writeBool(QStringLiteral("Settings"), QStringLiteral("Sound"), false);
    store.writeBool(QStringLiteral("ShowPicture"), QStringLiteral("Picture1"), true);
    store.writeString(QStringLiteral("Sound"), QStringLiteral("WAVFILE1"),
                      QStringLiteral("/home/p/My \"Waves\"/win.wav"));
    const HiveDocument doc = HiveDocument::parse(hive());
    auto raw = [&](const char *key, const char *ident) {
        return doc.value(QStringLiteral("MORVEL\\") + QLatin1String(key), QLatin1String(ident))->text;
    };
    EXPECT_EQ(raw("Bet", "Amount"), QStringLiteral("25"));
    EXPECT_EQ(raw("Bet", "Total"), QStringLiteral("-300"));
    EXPECT_EQ(raw("Settings", "Sound"), QStringLiteral("0"));
    EXPECT_EQ(raw("ShowPicture", "Picture1"), QStringLiteral("1"));

    EXPECT_EQ(store.readInteger(QStringLiteral("Bet"), QStringLiteral("Total"), 0), -300);
    EXPECT_FALSE(store.readBool(QStringLiteral("Settings"), QStringLiteral("Sound"), true));
    EXPECT_EQ(store.readString(QStringLiteral("Sound"), QStringLiteral("WAVFILE1"), QString()),
              QStringLiteral("/home/p/My \"Waves\"/win.wav"));
    // A value missing from an existing section gives the default as well.
    EXPECT_EQ(store.readInteger(QStringLiteral("Bet"), QStringLiteral("Other"), 7), 7);
}

TEST_F(Store, StoredTextIsParsedOnRead)
{
    putHive("REGEDIT4\n"
            "[HKEY_CURRENT_USER\\MORVEL\\Payouts]\n"
            "\"H8\"=\"0x10\"\n"
            "\"H7\"=\"$10\"\n"
            "\"H6\"=\"abc\"\n"
            "[HKEY_CURRENT_USER\\MORVEL\\ShowPicture]\n"
            "\"Picture1\"=\"2\"\n"
            "\"Picture2\"=\"0\"\n"
            "\"Picture3\"=\"yes\"\n"
            "\"Picture4\"=\"-1\"\n");
    SettingsStore store{RegistryHive(path)};
    const QString payouts = QStringLiteral("Payouts");
    EXPECT_EQ(store.readInteger(payouts, QStringLiteral("H8"), -1), 16);
    EXPECT_EQ(store.readInteger(payouts, QStringLiteral("H7"), -1), 16);
    EXPECT_EQ(store.readInteger(payouts, QStringLiteral("H6"), -1), -1);
    const QString flags = QStringLiteral("ShowPicture");
    EXPECT_TRUE(store.readBool(flags, QStringLiteral("Picture1"), false));
    EXPECT_FALSE(store.readBool(flags, QStringLiteral("Picture2"), true));
    EXPECT_TRUE(store.readBool(flags, QStringLiteral("Picture3"), true));
    EXPECT_FALSE(store.readBool(flags, QStringLiteral("Picture3"), false));
    EXPECT_TRUE(store.readBool(flags, QStringLiteral("Picture4"), false));
}

TEST_F(Store, RegistryFailuresReachTheCaller)
{
    putHive("REGEDIT4\n[HKEY_CURRENT_USER\\MORVEL\\Bet]\n\"Total\"=dword:00000100\n");
    SettingsStore store{RegistryHive(path)};
    try {
        store.readInteger(QStringLiteral("Bet"), QStringLiteral("Total"), -1);
        FAIL() << "no error";
    } catch (const RegistryError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Invalid data type for 'Total'"));
    }

    SettingsStore nowhere{RegistryHive(path + QStringLiteral("/inside-a-file/registry.reg"))};
    try {
        nowhere.writeInteger(QStringLiteral("Bet"), QStringLiteral("Total"), 1);
        FAIL() << "no error";
    } catch (const RegistryError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Failed to create key MORVEL"));
    }
}

TEST(SettingsTable, EachIdentOnceWithItsDefault)
{
    using namespace brisvale;
    QSet<QString> seen;
    for (const Setting &s : kSettingsTable) {
        const QString name = QString(s.section) + u'/' + QString(s.ident);
        EXPECT_FALSE(seen.contains(name)) << qPrintable(name);
        seen.insert(name);
    }
    EXPECT_EQ(seen.size(), 37);
    const Setting &wave = setting(waveFileSetting(9));
    EXPECT_EQ(QString(wave.section) + u'/' + QString(wave.ident), QStringLiteral("Sound/WAVFILE9"));
    EXPECT_EQ(QString(wave.textDefault), QStringLiteral("Error"));
    EXPECT_EQ(QString(setting(SettingId::PictureFile).ident), QStringLiteral("BMPFILE"));
    EXPECT_EQ(setting(SettingId::PictureMode).integerDefault, -1);
    EXPECT_EQ(QString(setting(payoutSetting(1)).ident), QStringLiteral("H1"));
    EXPECT_EQ(QString(setting(pictureFlagSetting(9)).ident), QStringLiteral("Picture9"));
    EXPECT_THROW(payoutSetting(10), std::out_of_range);
    EXPECT_THROW(pictureFlagSetting(0), std::out_of_range);
}
