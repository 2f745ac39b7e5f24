#include "game/Tsetpay.h"

#include "controls/ClickPanel.h"
#include "controls/SpinEdit.h"
#include "game/PayTableNumbers.h"
#include "game/RandomGenerator.h"
#include "game/SettingsStore.h"
#include "game/TForm1.h"
#include "platform/FileSystem.h"
#include "platform/QtDialogService.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/Soon.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace brisvale;
using platform::ScriptedDialogService;

namespace {

class PayoutsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&script);
        dialog = std::make_unique<Tsetpay>(payouts, flags);
        dialog->setSoundTable([this](int k) { return sounds[k]; },
                              [this](int k, const QString &path) { sounds[k] = path; });
        sounds.fill(QStringLiteral("Error"));
    }
    void TearDown() override { platform::setDialogService(nullptr); }

    void typeInto(SpinEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    ScriptedDialogService script;
    PayoutTable payouts;
    Tsetpay::PictureFlags flags{false, true, true, true, true, true, true, true, true, true};
    std::array<QString, kHandRankCount> sounds;
    std::unique_ptr<Tsetpay> dialog;
};

} // namespace

TEST_F(PayoutsDialogTest, ShowsTheTableAndItsLayout)
{
    dialog->show();
    const int expected[] = {0, 1, 2, 3, 4, 7, 11, 49, 99};
    const int maxima[] = {5, 5, 5, 9, 9, 99, 99, 999, 999};
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(dialog->SpinEdits[k]->value(), expected[k]) << k;
        EXPECT_EQ(dialog->SpinEdits[k]->maximum(), maxima[k]) << k;
        EXPECT_EQ(dialog->SpinEdits[k]->minimum(), 0);
        EXPECT_TRUE(dialog->CheckBoxes[k]->isChecked());
        EXPECT_EQ(dialog->Buttons[k]->text(), QStringLiteral("Sound%1").arg(k + 1));
    }
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Set Winning Payouts and Sounds"));
    EXPECT_EQ(dialog->CheckBoxes[0]->toolTip(), QStringLiteral("Show Picture on Pair"));
    EXPECT_EQ(dialog->CheckBoxes[8]->toolTip(), QString());
    const QList<QLabel *> labels = dialog->findChildren<QLabel *>();
    QStringList texts;
    for (QLabel *l : labels)
        texts << l->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Full House Default = 7 ")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Hand Payout                             Show Picture    Sound")));
}

TEST_F(PayoutsDialogTest, TypedValueIsBroughtIntoTheRowsRangeOnOk)
{
    dialog->show();
    typeInto(dialog->SpinEdits[0], QStringLiteral("7"));
    QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
    EXPECT_EQ(payouts[1], 5);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("Payout values have been updated")});
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(PayoutsDialogTest, StoredValueAboveTheRangeIsShownAtTheMaximum)
{
    payouts[4] = 50;
    dialog->show();
    EXPECT_EQ(dialog->SpinEdits[3]->value(), 9);
}

TEST_F(PayoutsDialogTest, CancelDiscardsPayoutsAndBoxes)
{
    dialog->show();
    dialog->SpinEdits[1]->setValue(5);
    dialog->CheckBoxes[2]->setChecked(false);
    QTest::mouseClick(dialog->CancelBtn, Qt::LeftButton);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("Cancelled. No changes were made to the payoff values")});
    EXPECT_EQ(payouts[2], 1);
    EXPECT_TRUE(flags[3]);
    // Reopened, the dialog shows the real flags again, so a later OK cannot
    // apply the cancelled change behind the player's back.
    dialog->show();
    EXPECT_TRUE(dialog->CheckBoxes[2]->isChecked());
    EXPECT_EQ(dialog->SpinEdits[1]->value(), 1);
}

TEST_F(PayoutsDialogTest, CloseBoxAppliesNothingAndSaysNothing)
{
    dialog->show();
    dialog->SpinEdits[5]->setValue(1);
    dialog->close();
    EXPECT_EQ(payouts[6], 7);
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(PayoutsDialogTest, OkAppliesBoxes)
{
    dialog->show();
    dialog->CheckBoxes[8]->setChecked(false);
    QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
    EXPECT_FALSE(flags[9]);
    EXPECT_TRUE(flags[8]);
}

TEST_F(PayoutsDialogTest, ChosenSoundIsRecordedAtOnceAndSurvivesCancel)
{
    const QString folder = test::freshFolder(QStringLiteral("sounds"));
    const QString wav = folder + QStringLiteral("/Fanfare.wav");
    QFile(wav).open(QIODevice::WriteOnly);
    script.queueOpenFile(wav);
    dialog->show();
    QTest::mouseClick(dialog->Buttons[1], Qt::LeftButton);
    EXPECT_EQ(sounds[2], wav);
    ASSERT_EQ(script.entries().size(), 1u);
    EXPECT_EQ(script.entries()[0].request.filter, QStringLiteral("Windows WAV files (*.WAV)|*.WAV"));
    QTest::mouseClick(dialog->CancelBtn, Qt::LeftButton);
    EXPECT_EQ(sounds[2], wav);

    // The next choice starts from the file already chosen, in its folder.
    dialog->show();
    QTest::mouseClick(dialog->Buttons[1], Qt::LeftButton); // cancelled: nothing changes
    const auto &request = script.entries().back().request;
    EXPECT_EQ(request.fileName, wav);
    EXPECT_EQ(QFileInfo(platform::fs::currentDirectory()).canonicalFilePath(), QFileInfo(folder).canonicalFilePath());
    EXPECT_EQ(sounds[2], wav);
}

TEST(PayoutsDialogInTheGame, OkPayoutsAreUsedByTheNextDraw)
{
    ScriptedDialogService script;
    platform::setDialogService(&script);
    TForm1 form;
    Tsetpay dialog(form.game().payouts(), form.PictureFlags, &form);
    form.RadioButton4->setChecked(true); // no pictures in this test
    dialog.show();
    dialog.SpinEdits[0]->setValue(5);
    QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);

    // A deal that is a pair of jacks or better as dealt.
    std::uint32_t seed = 1;
    for (;; ++seed) {
        RandomGenerator g;
        g.setSeed(seed);
        Deck d;
        if (Evaluate(d.deal(g)).jacksOrBetter())
            break;
    }
    randomGenerator().setSeed(seed);
    form.ShuffleClick();
    for (ClickPanel *panel : form.HoldPanel)
        QTest::mouseClick(panel, Qt::LeftButton);
    form.SecondClick();
    EXPECT_EQ(form.game().total(), 1000 + 5 * 5);
    EXPECT_EQ(form.Cash->text(), QStringLiteral("*Bonus* 6X  Paid You Win! Total is now 1025"));
    platform::setDialogService(nullptr);
}

TEST(PayoutsDialogInTheGame, ChosenSoundIsStoredAtOnceAndReloadedOnActivation)
{
    ScriptedDialogService script;
    platform::setDialogService(&script);
    TForm1 form;
    const QString path = test::freshFolder(QStringLiteral("snd"))
                         + QStringLiteral("/a very long folder name that "
                                          "goes on and on/Fanfare.wav");
    form.SoundChosen(3, path);
    SettingsStore store;
    EXPECT_EQ(store.readString(QStringLiteral("Sound"), QStringLiteral("WAVFILE3"), QStringLiteral("Error")), path);
    EXPECT_EQ(form.winSounds().entry(3), path); // never cut to 80 characters

    store.writeString(QStringLiteral("Sound"), QStringLiteral("WAVFILE4"), QStringLiteral("/x/other.wav"));
    form.FormActivate();
    EXPECT_EQ(form.winSounds().entry(4), QStringLiteral("/x/other.wav"));
    EXPECT_EQ(form.winSounds().entry(3), path);
    EXPECT_TRUE(script.texts().isEmpty());
    platform::setDialogService(nullptr);
}

TEST_F(PayoutsDialogTest, ShowsTheExactReturnOfTheTableBeingEditedAsItIsTyped)
{
    dialog->show();
    QLabel *shown = dialog->ReturnLabel;
    // Worked out away from the dialog: the first answer arrives later.
    EXPECT_EQ(shown->text(), QStringLiteral("Return with best play: \u2026"));
    ASSERT_EQ_SOON(shown->text(), QStringLiteral("Return with best play: 92.70%"), 30000);

    // The standard 9/6 table, typed field by field without confirming.
    typeInto(dialog->SpinEdits[4], QStringLiteral("5"));
    typeInto(dialog->SpinEdits[5], QStringLiteral("8"));
    typeInto(dialog->SpinEdits[6], QStringLiteral("24"));
    typeInto(dialog->SpinEdits[8], QStringLiteral("799"));
    ASSERT_EQ_SOON(shown->text(), QStringLiteral("Return with best play: 99.54%"), 30000);

    // A single keystroke is enough for a new figure.
    QTest::keyClick(dialog->SpinEdits[8], Qt::Key_Backspace);
    EXPECT_EQ(shown->text(), QStringLiteral("Return with best play: \u2026"));
    // 799 became 79 for the royal flush.
    ASSERT_EQ_SOON(shown->text(), QStringLiteral("Return with best play: 98.07%"), 30000);
    // Nothing of it reached the game's table without OK.
    EXPECT_EQ(payouts.h, PayoutTable::defaults().h);
}

TEST_F(PayoutsDialogTest, HasOnlyACloseBoxOpensCentredAndItsMessageBoxesAreAlike)
{
    const auto onlyClose = [](const QWidget &w) {
        const Qt::WindowFlags f = w.windowFlags();
        return f.testFlag(Qt::CustomizeWindowHint) && f.testFlag(Qt::WindowCloseButtonHint)
               && !f.testFlag(Qt::WindowMinimizeButtonHint) && !f.testFlag(Qt::WindowMaximizeButtonHint);
    };
    EXPECT_TRUE(onlyClose(*dialog));
    // Centred every time it opens, whatever frame the window manager draws
    // around it: a frame once known must not push the dialog aside.
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        // A rectangle's centre rounds down on each axis, so a dialog of odd
        // size sits up to a pixel from the screen's centre each way when it is
        // truly centred.
        const QPoint off = dialog->geometry().center() - dialog->screen()->availableGeometry().center();
        EXPECT_LE(std::abs(off.x()), 1);
        EXPECT_LE(std::abs(off.y()), 1);
        dialog->hide();
    }

    // The boxes the program's own dialog service shows.
    platform::QtDialogService real;
    platform::setDialogService(&real);
    bool boxOnlyClose = false;
    QTimer::singleShot(0, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            boxOnlyClose = onlyClose(*box);
            box->close();
        }
    });
    platform::dialogs().message(platform::MessageKind::Information, QStringLiteral("Payout values have been updated"));
    platform::setDialogService(&script);
    EXPECT_TRUE(boxOnlyClose);
}

TEST_F(PayoutsDialogTest, AMultiplierSteppedByTheArrowKeysUpdatesTheReturn)
{
    dialog->show();
    QLabel *shown = dialog->ReturnLabel;
    ASSERT_EQ_SOON(shown->text(), QStringLiteral("Return with best play: 92.70%"), 30000);
    dialog->SpinEdits[8]->setFocus();
    QTest::keyClick(dialog->SpinEdits[8], Qt::Key_Up);
    EXPECT_EQ(dialog->SpinEdits[8]->value(), 100);
    EXPECT_EQ(shown->text(), QStringLiteral("Return with best play: \u2026"));
    ASSERT_SOON(!shown->text().endsWith(u'\u2026'), 30000);
    EXPECT_NE(shown->text(), QStringLiteral("Return with best play: 92.70%"));
}

TEST_F(PayoutsDialogTest, TheNumbersKeepClearOfEachOtherAtTheirSmallestSize)
{
    dialog->show();
    dialog->NumbersBtn->click();
    ASSERT_TRUE(dialog->Numbers);
    PayTableNumbers &numbers = *dialog->Numbers;
    ASSERT_SOON(numbers.Risk->text().startsWith(QStringLiteral("The chance of losing")), 60000);
    // As small as a small screen may make it, the wrapped texts still have
    // their lines and nothing slides over the table.
    numbers.resize(numbers.minimumSize());
    QApplication::processEvents();
    EXPECT_LE(numbers.Summary->geometry().bottom(), numbers.Finals->geometry().top());
    EXPECT_LE(numbers.Finals->geometry().bottom(), numbers.Bankroll->geometry().top());
    EXPECT_LE(numbers.Hands->geometry().bottom(), numbers.Risk->geometry().top());
    EXPECT_LE(numbers.Risk->geometry().bottom(), numbers.CloseBtn->geometry().top());
    for (const QLabel *text : {numbers.Summary, numbers.Risk})
        EXPECT_GE(text->height(), text->heightForWidth(text->width())) << text->objectName().toStdString();
    numbers.close();
}
