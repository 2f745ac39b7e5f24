#include "platform/DialogService.h"
#include "platform/ScriptedDialogService.h"

#include <gtest/gtest.h>

using namespace brisvale::platform;

TEST(DialogService, ScriptedServiceRecordsTextsAndAnswersFromItsQueues)
{
    ScriptedDialogService script;
    setDialogService(&script);
    script.queueConfirm(true);
    script.queueOpenFile(QStringLiteral("/pics/a.bmp"));
    script.queueColor(QColor(Qt::green));

    dialogs().message(MessageKind::Information, QStringLiteral("Payout values have been updated"));
    dialogs().message(MessageKind::Error, QStringLiteral("file not found"));
    EXPECT_TRUE(dialogs().confirm(QStringLiteral("Overwrite?")));
    EXPECT_FALSE(dialogs().confirm(QStringLiteral("Again?"))); // queue ran out: No
    OpenFileRequest req;
    req.title = QStringLiteral("Open");
    req.fileName = QStringLiteral("*.bmp");
    EXPECT_EQ(dialogs().openFile(req), QStringLiteral("/pics/a.bmp"));
    EXPECT_FALSE(dialogs().openFile(req).has_value());
    EXPECT_EQ(dialogs().chooseColor(Qt::black), QColor(Qt::green));
    EXPECT_FALSE(dialogs().chooseColor(Qt::green).has_value());

    EXPECT_EQ(script.texts(),
              (QStringList{"Payout values have been updated", "file not found", "Overwrite?", "Again?"}));
    ASSERT_EQ(script.entries().size(), 8u);
    EXPECT_EQ(script.entries()[0].kind, ScriptedDialogService::Kind::Information);
    EXPECT_EQ(script.entries()[1].kind, ScriptedDialogService::Kind::Error);
    EXPECT_EQ(script.entries()[4].request.fileName, QStringLiteral("*.bmp"));
    EXPECT_EQ(script.entries()[7].initial, QColor(Qt::green));

    setDialogService(nullptr);
    // The stand-in never blocks and answers cancel.
    EXPECT_FALSE(dialogs().confirm(QStringLiteral("?")));
    EXPECT_FALSE(dialogs().chooseColor(Qt::black).has_value());
}

TEST(DialogService, FilterPairsBecomeCaseFreeQtFilters)
{
    EXPECT_EQ(qtNameFilters(QStringLiteral("Windows WAV files (*.WAV)|*.WAV")),
              (QStringList{"Windows WAV files (*.WAV) (*.[wW][aA][vV])"}));
    EXPECT_EQ(qtNameFilters(QStringLiteral("All Pixs|*.BMP;*.GIF;|BMP|*.BMP")),
              (QStringList{"All Pixs (*.[bB][mM][pP] *.[gG][iI][fF])", "BMP (*.[bB][mM][pP])"}));
    EXPECT_TRUE(qtNameFilters(QString()).isEmpty());
}
