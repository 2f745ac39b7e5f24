#include "controls/ClickPanel.h"
#include "controls/SpinEdit.h"
#include "game/PieGauge.h"
#include "game/SettingsStore.h"
#include "game/TForm1.h"
#include "platform/HiveDocument.h"
#include "platform/RegistryHive.h"
#include "platform/ScriptedDialogService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace brisvale;
using platform::HiveDocument;
using platform::RegistryHive;
using platform::ScriptedDialogService;

namespace {

class TableSettingsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearProfile();
        platform::setDialogService(&dialogs);
    }
    void TearDown() override
    {
        platform::setDialogService(nullptr);
        clearProfile();
    }

    static QString hivePath() { return RegistryHive::defaultPath(); }
    static QString settingsFolder() { return QFileInfo(hivePath()).absolutePath(); }
    static void clearProfile()
    {
        QFileInfo folder(settingsFolder());
        if (folder.isDir())
            QDir(folder.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(folder.absoluteFilePath());
    }
    static QByteArray hiveBytes()
    {
        QFile f(hivePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void putHive(const QByteArray &bytes)
    {
        QDir().mkpath(settingsFolder());
        QFile f(hivePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static void store(const char *section, const char *ident, const QString &text)
    {
        SettingsStore().writeString(QLatin1String(section), QLatin1String(ident), text);
    }
    // The stored text, or "<absent>".
    static QString stored(const char *section, const char *ident)
    {
        const auto v = HiveDocument::parse(hiveBytes())
                           .value(QStringLiteral("MORVEL\\") + QLatin1String(section), QLatin1String(ident));
        return v ? v->text : QStringLiteral("<absent>");
    }

    ScriptedDialogService dialogs;
};

} // namespace

TEST_F(TableSettingsWindow, FirstStartOnACleanProfile)
{
    TForm1 form;
    EXPECT_EQ(form.game().total(), 1000);
    EXPECT_EQ(form.Panel5->text(), QStringLiteral("1000"));
    EXPECT_EQ(form.game().bet(), 5);
    EXPECT_EQ(form.Bet->value(), 5);
    EXPECT_EQ(form.Bet->minimum(), 5);
    EXPECT_EQ(form.Bet->maximum(), 1000);
    for (int rank = 1; rank <= 9; ++rank)
        EXPECT_TRUE(form.PictureFlags[rank]) << rank;
    EXPECT_TRUE(form.RadioButton1->isChecked());
    EXPECT_EQ(form.game().payouts().h, PayoutTable::defaults().h);
    EXPECT_EQ(form.Gauge1->foreColor(), QColor(Qt::red));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Brisvale for Windows 95 Version 2.10"));
    EXPECT_TRUE(dialogs.entries().empty());
    // Starting leaves the empty root key behind, and nothing else.
    EXPECT_EQ(hiveBytes(), QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\MORVEL]\n"));
}

TEST_F(TableSettingsWindow, ANormalCloseStoresEverythingAsDecimalText)
{
    {
        TForm1 form;
        form.Bet->setValue(25);
        form.RadioButton2->setChecked(true);
        form.PictureFlags[4] = false;
        form.game().payouts()[2] = 0;
        EXPECT_TRUE(form.close());
    }
    EXPECT_EQ(stored("Bet", "Amount"), QStringLiteral("25"));
    EXPECT_EQ(stored("Bet", "Total"), QStringLiteral("1000"));
    EXPECT_EQ(stored("Settings", "Sound"), QStringLiteral("0"));
    for (int rank = 1; rank <= 9; ++rank) {
        const QByteArray ident = "Picture" + QByteArray::number(rank);
        EXPECT_EQ(stored("ShowPicture", ident.constData()), rank == 4 ? QStringLiteral("0") : QStringLiteral("1"));
    }
    const char *payouts[] = {"0", "0", "2", "3", "4", "7", "11", "49", "99"};
    for (int rank = 1; rank <= 9; ++rank) {
        const QByteArray ident = "H" + QByteArray::number(rank);
        EXPECT_EQ(stored("Payouts", ident.constData()), QLatin1String(payouts[rank - 1])) << rank;
    }
    // Colours never chosen are not remembered.
    EXPECT_EQ(stored("Settings", "FormColor"), QStringLiteral("<absent>"));
    EXPECT_EQ(stored("Settings", "PieColor"), QStringLiteral("<absent>"));
    EXPECT_TRUE(dialogs.entries().empty());
}

TEST_F(TableSettingsWindow, AStoredTotalIsTakenOnlyStrictlyBetween50And50000)
{
    const std::pair<int, int> cases[] = {{50, 1000}, {50000, 1000}, {51, 51}, {49999, 49999}, {-20, 1000}};
    for (const auto &[storedTotal, expected] : cases) {
        clearProfile();
        store("Bet", "Total", QString::number(storedTotal));
        TForm1 form;
        EXPECT_EQ(form.game().total(), expected) << storedTotal;
        EXPECT_EQ(form.Panel5->text(), QString::number(expected)) << storedTotal;
    }
}

TEST_F(TableSettingsWindow, AStoredBetIsTakenOnlyBelowTheRestoredTotal)
{
    struct Case {
        const char *total;
        const char *amount; // nullptr: not stored
        int bet;
    };
    const Case cases[] = {
        {"500", "500", 5},                           // equal to the total: ignored
        {"500", "495", 495},    {"500", nullptr, 5}, // missing
        {"500", "0", 5},                             // the design value stays
        {"500", "3", 5},                             // brought into range
        {"5000", "2000", 1000}, {"300", "600", 5},   // compared with the stored total, not the 1000 it replaces
        {"50", "600", 600},                          // the total stays 1000
        {"500", "abc", 5},
    };
    for (const Case &c : cases) {
        clearProfile();
        store("Bet", "Total", QLatin1String(c.total));
        if (c.amount)
            store("Bet", "Amount", QLatin1String(c.amount));
        TForm1 form;
        const QString label = QStringLiteral("total %1 amount %2")
                                  .arg(QLatin1String(c.total), QLatin1String(c.amount ? c.amount : "-"));
        EXPECT_EQ(form.game().bet(), c.bet) << qPrintable(label);
        EXPECT_EQ(form.Bet->value(), c.bet) << qPrintable(label);
        EXPECT_EQ(form.Bet->maximum(), 1000);
    }
}

TEST_F(TableSettingsWindow, APayoutOfZeroSurvivesARestart)
{
    store("Payouts", "H8", QStringLiteral("0x10"));
    store("Payouts", "H7", QStringLiteral("$10"));
    store("Payouts", "H6", QStringLiteral("abc"));
    {
        TForm1 form;
        EXPECT_EQ(form.game().payouts()[8], 16);
        EXPECT_EQ(form.game().payouts()[7], 16);
        EXPECT_EQ(form.game().payouts()[6], PayoutTable::defaults()[6]);
        form.game().payouts()[5] = 0;
        form.close();
    }
    EXPECT_EQ(stored("Payouts", "H5"), QStringLiteral("0"));
    EXPECT_EQ(stored("Payouts", "H8"), QStringLiteral("16"));
    TForm1 again;
    EXPECT_EQ(again.game().payouts()[5], 0);
    EXPECT_EQ(again.game().payouts()[8], 16);
}

TEST_F(TableSettingsWindow, OutOfRangeStoredPayoutsAreHeldToTheDialogsRangesAndMoneyNeverWraps)
{
    for (int rank = 1; rank <= 9; ++rank)
        store("Payouts", ("H" + QByteArray::number(rank)).constData(), QStringLiteral("5000000"));
    store("Bet", "Total", QStringLiteral("47999"));
    store("Bet", "Amount", QStringLiteral("1000"));
    const int maxima[] = {5, 5, 5, 9, 9, 99, 99, 999, 999};
    {
        TForm1 form;
        for (int rank = 1; rank <= 9; ++rank)
            EXPECT_EQ(form.game().payouts()[rank], maxima[rank - 1]) << rank;
        ASSERT_EQ(form.game().bet(), 1000);
        // Whatever the cards, no hand at these payouts can leave the range.
        for (int hand = 0; hand < 25; ++hand) {
            const std::int32_t before = form.game().total();
            form.game().deal();
            const std::int32_t after = form.game().draw().settlement.total;
            EXPECT_GE(std::int64_t(after), std::int64_t(before) - 1000) << hand;
            EXPECT_LE(std::int64_t(after), std::int64_t(before) + std::int64_t{999} * 1000) << hand;
        }
        form.close();
    }
    for (int rank = 1; rank <= 9; ++rank)
        EXPECT_EQ(stored("Payouts", ("H" + QByteArray::number(rank)).constData()), QString::number(maxima[rank - 1]))
            << rank;
}

TEST_F(TableSettingsWindow, APlayerWhoClosedBrokeStartsAt1000)
{
    for (const int closingTotal : {30, 50, -250}) {
        clearProfile();
        store("Bet", "Total", QStringLiteral("5000"));
        {
            TForm1 form;
            ASSERT_EQ(form.game().total(), 5000);
            form.game().setTotal(closingTotal);
            form.close();
        }
        EXPECT_EQ(stored("Bet", "Total"), QString::number(closingTotal));
        TForm1 next;
        EXPECT_EQ(next.game().total(), 1000) << closingTotal;
    }
}

TEST_F(TableSettingsWindow, StoredSwitchesAndColoursAreApplied)
{
    store("Settings", "Sound", QStringLiteral("0"));
    store("ShowPicture", "Picture2", QStringLiteral("0"));
    store("Settings", "FormColor", QStringLiteral("255"));       // red
    store("Settings", "PieColor", QStringLiteral("0"));          // black: never applied
    store("Settings", "AmountColor", QStringLiteral("$FF0000")); // blue
    store("Settings", "TotalColor", QStringLiteral("65280"));    // green
    {
        TForm1 form;
        EXPECT_TRUE(form.RadioButton2->isChecked());
        EXPECT_FALSE(form.RadioButton1->isChecked());
        EXPECT_FALSE(form.PictureFlags[2]);
        EXPECT_TRUE(form.PictureFlags[3]);
        EXPECT_EQ(form.centralWidget()->palette().color(QPalette::Window), QColor(255, 0, 0));
        EXPECT_EQ(form.Gauge1->foreColor(), QColor(Qt::red));
        EXPECT_EQ(form.Bet->palette().color(QPalette::Base), QColor(0, 0, 255));
        EXPECT_EQ(form.Panel5->color(), QColor(0, 255, 0));
        form.close();
    }
    EXPECT_EQ(stored("Settings", "FormColor"), QStringLiteral("255"));
    EXPECT_EQ(stored("Settings", "AmountColor"), QStringLiteral("16711680"));
    EXPECT_EQ(stored("Settings", "TotalColor"), QStringLiteral("65280"));
    EXPECT_EQ(stored("Settings", "PieColor"), QStringLiteral("0"));
    EXPECT_EQ(stored("Settings", "Sound"), QStringLiteral("0"));
    EXPECT_EQ(stored("ShowPicture", "Picture2"), QStringLiteral("0"));
}

TEST_F(TableSettingsWindow, ABadValueAtStartIsReportedOnceAndTheRestIsRead)
{
    putHive("REGEDIT4\n"
            "[HKEY_CURRENT_USER\\MORVEL\\Bet]\n"
            "\"Amount\"=\"30\"\n"
            "\"Total\"=dword:00000100\n"
            "[HKEY_CURRENT_USER\\MORVEL\\Payouts]\n"
            "\"H2\"=\"0\"\n"
            "\"H3\"=hex(7):41,00,00,00\n");
    TForm1 form;
    ASSERT_EQ(dialogs.entries().size(), 1u);
    EXPECT_EQ(dialogs.entries()[0].kind, ScriptedDialogService::Kind::Error);
    EXPECT_EQ(dialogs.entries()[0].text, QStringLiteral("Invalid data type for 'H3'"));
    EXPECT_EQ(form.game().payouts()[2], 0);
    EXPECT_EQ(form.game().payouts()[3], PayoutTable::defaults()[3]);
    EXPECT_EQ(form.game().total(), 1000);
    EXPECT_EQ(form.game().bet(), 30);
    EXPECT_TRUE(form.Shuffle->isVisibleTo(&form));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Brisvale for Windows 95 Version 2.10"));
}

TEST_F(TableSettingsWindow, ASoundOfTheWrongTypeIsReportedOncePerRunAndTheOthersAreRead)
{
    putHive("REGEDIT4\n"
            "[HKEY_CURRENT_USER\\MORVEL\\Sound]\n"
            "\"WAVFILE1\"=dword:00000001\n"
            "\"WAVFILE2\"=\"two.wav\"\n");
    TForm1 form;
    for (int activation = 0; activation < 3; ++activation)
        form.FormActivate();
    ASSERT_EQ(dialogs.entries().size(), 1u);
    EXPECT_EQ(dialogs.entries()[0].text, QStringLiteral("Invalid data type for 'WAVFILE1'"));
    EXPECT_EQ(form.winSounds().entry(1), QStringLiteral("Error"));
    EXPECT_EQ(form.winSounds().entry(2), QStringLiteral("two.wav"));
}

TEST_F(TableSettingsWindow, AnUnusableSettingsFolderStillStartsAndCloses)
{
    // The settings folder's name is taken by a file.
    QDir().mkpath(QFileInfo(settingsFolder()).absolutePath());
    {
        QFile blocker(settingsFolder());
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.write("in the way");
    }
    TForm1 form;
    ASSERT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to create key MORVEL")});
    EXPECT_EQ(form.game().total(), 1000);
    EXPECT_EQ(form.game().bet(), 5);
    EXPECT_EQ(form.game().payouts().h, PayoutTable::defaults().h);

    form.show();
    dialogs.clear();
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to create key MORVEL")});
}

TEST_F(TableSettingsWindow, AHiveThatCannotBeChangedAtCloseIsReportedAndLeftAlone)
{
    TForm1 form;
    form.show();
    const QByteArray before = hiveBytes();
    // Its lock cannot be taken: the lock file's name is taken by a folder.
    QFile::remove(hivePath() + QStringLiteral(".lock"));
    ASSERT_TRUE(QDir().mkdir(hivePath() + QStringLiteral(".lock")));
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to create key Bet")});
    EXPECT_EQ(hiveBytes(), before);
}
