#include "game/TForm1.h"

#include "controls/Announcer.h"
#include "controls/ClickPanel.h"
#include "controls/SpinEdit.h"
#include "controls/TCardDeck.h"
#include "controls/TEStatusBar.h"
#include "game/ChartKeeper.h"
#include "game/PieGauge.h"
#include "game/RandomGenerator.h"
#include "odds/HoldOdds.h"
#include "odds/TrainerTexts.h"
#include "tests/support/Soon.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace brisvale;

namespace {

class TableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TForm1>();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        randomGenerator().setSeed(0);
    }

    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

    // Types into a spin edit and moves the focus away, as a player would.
    void typeInto(SpinEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        form->Button2->setFocus();
        QApplication::processEvents();
    }

    // Finds a seed whose deal is a winning hand as dealt.
    static std::uint32_t seedDealingAWin()
    {
        for (std::uint32_t seed = 1;; ++seed) {
            RandomGenerator g;
            g.setSeed(seed);
            Deck d;
            const Evaluation e = Evaluate(d.deal(g));
            if (e.rank >= TwoPair)
                return seed;
        }
    }

    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(TableTest, StartsReadyForTheFirstDeal)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Brisvale for Windows 95 Version 2.10"));
    EXPECT_EQ(form->Panel5->text(), QStringLiteral("1000"));
    EXPECT_EQ(form->Bet->value(), 5);
    EXPECT_EQ(form->Bet->minimum(), 5);
    EXPECT_EQ(form->Bet->maximum(), 1000);
    EXPECT_EQ(form->Bet->singleStep(), 5);
    EXPECT_FALSE(form->Bet->isReadOnly());
    EXPECT_TRUE(form->Shuffle->isVisible());
    EXPECT_FALSE(form->Second->isVisible());
    EXPECT_FALSE(form->Image1->isVisible());
    ASSERT_FALSE(form->Image1->pixmap().isNull());
    EXPECT_EQ(form->Image1->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(form->Cash->text(), QStringLiteral(" "));
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(form->CardDeck[k]->Value(), kExtraCardBack);
        EXPECT_EQ(form->HoldPanel[k]->text(), QStringLiteral("Draw"));
        EXPECT_TRUE(form->HoldPanel[k]->isEnabled());
    }
    EXPECT_TRUE(form->RadioButton1->isChecked());
    EXPECT_TRUE(form->RadioButton3->isChecked());
    EXPECT_EQ(form->SpinEdit1->value(), 2);
    EXPECT_EQ(form->pauseMs(), 2000);
    EXPECT_EQ(form->StringGrid1->item(0, 0)->text(), QString()); // empty until a hand is settled
    EXPECT_EQ(form->Second->toolTip(), QStringLiteral("Draw Additional Cards"));
    EXPECT_EQ(form->Gauge1->toolTip(), QStringLiteral("Winning Percentage"));
    EXPECT_EQ(form->Panel5->toolTip(), QStringLiteral("Total"));
}

TEST_F(TableTest, MenusHaveEveryItem)
{
    const QList<QAction *> top = form->menuBar()->actions();
    QStringList titles;
    for (QAction *a : top)
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"Set Total", "Colors", "Sounds Payouts Options", "Help"}));
    // As displayed: an '&' in the text would otherwise mark a mnemonic.
    QStringList setTotal, colors, popup;
    for (QAction *a : top[0]->menu()->actions())
        setTotal << a->iconText();
    for (QAction *a : top[1]->menu()->actions())
        colors << a->iconText();
    for (QAction *a : form->PopupMenu1->actions())
        popup << a->iconText();
    EXPECT_EQ(setTotal, (QStringList{"1000", "10000", "100000"}));
    EXPECT_EQ(colors, (QStringList{"Background", "Piechart", "Total", "Amount"}));
    EXPECT_EQ(popup,
              (QStringList{"Show Picture", "Sound & Payouts", "Help", "Warn before a costly draw", "Hold Analysis"}));
}

TEST_F(TableTest, PlaysAHandWithHoldsByPanelAndByCard)
{
    click(form->Shuffle);
    // Seed 0 deals 7C KC 6D 5S 4S.
    const Hand dealt{33, 39, 45, 5, 4};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(form->CardDeck[k]->Value(), dealt[k]);
    EXPECT_FALSE(form->Shuffle->isVisible());
    EXPECT_TRUE(form->Second->isVisible());
    EXPECT_EQ(form->Second->text(), QStringLiteral("Draw"));
    EXPECT_TRUE(form->Bet->isReadOnly());
    EXPECT_EQ(form->Panel2->text(), QStringLiteral("  "));
    EXPECT_EQ(form->Panel4->text(), QStringLiteral("  "));

    click(form->HoldPanel[4]);
    EXPECT_EQ(form->HoldPanel[4]->text(), QStringLiteral("Hold"));
    EXPECT_EQ(form->HoldPanel[4]->color(), QColor(255, 0, 0));
    click(form->CardDeck[0]);
    EXPECT_EQ(form->HoldPanel[0]->text(), QStringLiteral("Hold"));
    click(form->CardDeck[2]);
    click(form->CardDeck[2]); // toggled back to "Draw"
    EXPECT_EQ(form->HoldPanel[2]->text(), QStringLiteral("Draw"));

    click(form->Second);
    // Slots 2..4 replaced by 9C 4H 3D: 7C 9C 4H 3D 4S, a pair of fours.
    const Hand drawn{33, 35, 17, 42, 4};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(form->CardDeck[k]->Value(), drawn[k]);
    EXPECT_EQ(form->Panel2->text(), QStringLiteral("Player has One Pair"));
    EXPECT_EQ(form->Cash->text(), QStringLiteral("You Lost Total is now 995"));
    EXPECT_EQ(form->Panel5->text(), QStringLiteral("995"));
    EXPECT_TRUE(form->Shuffle->isVisible());
    EXPECT_FALSE(form->Second->isVisible());
    EXPECT_FALSE(form->Bet->isReadOnly());
    EXPECT_FALSE(form->Image1->isVisible());
    for (ClickPanel *panel : form->HoldPanel) {
        EXPECT_EQ(panel->text(), QStringLiteral("Over"));
        EXPECT_EQ(panel->color(), QColor(0, 0, 255));
        EXPECT_FALSE(panel->isEnabled());
    }
    EXPECT_EQ(form->StringGrid1->item(0, 1)->text(), QStringLiteral("Pairs"));
    EXPECT_EQ(form->StringGrid1->item(1, 1)->text(), QStringLiteral("1"));
    EXPECT_EQ(form->StringGrid1->item(1, 0)->text(), QStringLiteral("0"));
    EXPECT_EQ(form->Gauge1->progress(), 0);

    // A disabled panel ignores clicks, but its card still toggles it.
    click(form->HoldPanel[1]);
    EXPECT_EQ(form->HoldPanel[1]->text(), QStringLiteral("Over"));
    click(form->CardDeck[1]);
    EXPECT_EQ(form->HoldPanel[1]->text(), QStringLiteral("Draw"));
    click(form->CardDeck[1]);
    EXPECT_EQ(form->HoldPanel[1]->text(), QStringLiteral("Hold"));

    click(form->Shuffle);
    EXPECT_EQ(form->Cash->text(), QStringLiteral(" "));
    for (ClickPanel *panel : form->HoldPanel) {
        EXPECT_EQ(panel->text(), QStringLiteral("Draw"));
        EXPECT_TRUE(panel->isEnabled());
    }
}

TEST_F(TableTest, CardClickBeforeTheFirstDealOnlyTogglesThePanel)
{
    click(form->CardDeck[3]);
    EXPECT_EQ(form->HoldPanel[3]->text(), QStringLiteral("Hold"));
    click(form->Shuffle);
    EXPECT_EQ(form->HoldPanel[3]->text(), QStringLiteral("Draw"));
}

TEST_F(TableTest, TypedBetsAreBroughtIntoRangeWhenFocusLeaves)
{
    typeInto(form->Bet, QStringLiteral("3"));
    EXPECT_EQ(form->Bet->value(), 5);
    typeInto(form->Bet, QStringLiteral("2000"));
    EXPECT_EQ(form->Bet->value(), 1000);
    typeInto(form->Bet, QStringLiteral("abc"));
    EXPECT_EQ(form->Bet->value(), 5);
    typeInto(form->Bet, QStringLiteral("250"));
    EXPECT_EQ(form->Bet->value(), 250);
    EXPECT_EQ(form->game().bet(), 250);

    click(form->Shuffle);
    click(form->Second);
    EXPECT_EQ(form->Panel5->text(), QStringLiteral("750")); // seed 0, nothing held: no pair
}

TEST_F(TableTest, BetIsLockedWhileDealt)
{
    click(form->Shuffle);
    form->Bet->setFocus();
    QTest::keyClick(form->Bet, Qt::Key_Up);
    EXPECT_EQ(form->Bet->value(), 5);
    QTest::keyClicks(form->Bet, QStringLiteral("9"));
    EXPECT_EQ(form->Bet->value(), 5);
    click(form->Second);
    form->Bet->setFocus();
    QTest::keyClick(form->Bet, Qt::Key_Up);
    EXPECT_EQ(form->Bet->value(), 10);
}

TEST_F(TableTest, BrokePlayerBetStaysAtFive)
{
    typeInto(form->Bet, QStringLiteral("100"));
    form->game().setTotal(15);
    click(form->Shuffle);
    EXPECT_EQ(form->Bet->value(), 5);
    EXPECT_EQ(form->Bet->maximum(), 5);
    click(form->Second);
    form->N1000001Click();
    EXPECT_EQ(form->Panel5->text(), QStringLiteral("100000"));
    typeInto(form->Bet, QStringLiteral("100"));
    EXPECT_EQ(form->Bet->value(), 5);
    click(form->Shuffle);
    EXPECT_EQ(form->Bet->maximum(), 5);
}

TEST_F(TableTest, WinningHandShowsTheIconAndOpensThePictureAfterThePause)
{
    int pictures = 0;
    form->setPictureWindow([&] { ++pictures; });
    form->SpinEdit1->setValue(0);
    EXPECT_EQ(form->pauseMs(), 0);

    randomGenerator().setSeed(seedDealingAWin());
    click(form->Shuffle);
    for (ClickPanel *panel : form->HoldPanel)
        click(panel);
    click(form->Second);
    EXPECT_TRUE(form->Image1->isVisible());
    EXPECT_TRUE(form->Cash->text().startsWith(QStringLiteral("*Bonus* ")));
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(form->Gauge1->progress(), 100);

    // Picture Off: a win opens nothing.
    form->RadioButton4->setChecked(true);
    randomGenerator().setSeed(seedDealingAWin());
    click(form->Shuffle);
    EXPECT_FALSE(form->Image1->isVisible());
    for (ClickPanel *panel : form->HoldPanel)
        click(panel);
    click(form->Second);
    EXPECT_EQ(pictures, 1);

    // A lost hand never opens the picture.
    form->RadioButton3->setChecked(true);
    randomGenerator().setSeed(0);
    click(form->Shuffle);
    click(form->Second);
    EXPECT_EQ(pictures, 1);
}

TEST_F(TableTest, ShowPictureHidesTheTableWhileThePictureIsOpen)
{
    bool tableVisibleDuringPicture = true;
    form->setPictureWindow([&] { tableVisibleDuringPicture = form->isVisible(); });
    click(form->Button2);
    EXPECT_FALSE(tableVisibleDuringPicture);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(TableTest, LayoutScalesUniformlyWithTheWindow)
{
    form->resize(1280, 1024);
    QApplication::processEvents();
    const QRect small = QRect(136, 152, 71, 96);
    const QRect card = form->CardDeck[0]->geometry();
    const double fx = double(card.width()) / small.width();
    const double fy = double(card.height()) / small.height();
    EXPECT_NEAR(fx, fy, 0.05);
    EXPECT_GT(fx, 1.5);
    // Neighbouring slots keep their design spacing at the new scale.
    EXPECT_NEAR(form->CardDeck[1]->x() - card.x(), 80 * fx, 2);
    EXPECT_GT(form->Cash->font().pixelSize(), 13 * 1.5 - 1);
    EXPECT_LT(form->Cash->font().pixelSize(), 13 * 2.5);
}

TEST_F(TableTest, KeysPlayAHandOnlyWhereAClickWould)
{
    const auto key = [this](Qt::Key k, QWidget *to = nullptr) { QTest::keyClick(to ? to : form.get(), k); };
    // Before the first deal the hold keys do nothing.
    key(Qt::Key_1);
    EXPECT_EQ(form->HoldPanel[0]->text(), QStringLiteral("Draw"));

    // Space deals (seed 0: 7C KC 6D 5S 4S); 1 and 5 hold, a second 3 releases.
    key(Qt::Key_Space);
    ASSERT_TRUE(form->Second->isVisible());
    for (Qt::Key k : {Qt::Key_1, Qt::Key_5, Qt::Key_3, Qt::Key_3})
        key(k);
    EXPECT_EQ(form->HoldPanel[0]->text(), QStringLiteral("Hold"));
    EXPECT_EQ(form->HoldPanel[2]->text(), QStringLiteral("Draw"));
    EXPECT_EQ(form->HoldPanel[4]->text(), QStringLiteral("Hold"));

    // Enter draws, exactly as the mouse would: 7C 9C 4H 3D 4S.
    key(Qt::Key_Return);
    EXPECT_EQ(form->game().hand(), Hand({33, 35, 17, 42, 4}));

    // Settled: the panels are over and the hold keys leave them so.
    key(Qt::Key_2);
    EXPECT_EQ(form->HoldPanel[1]->text(), QStringLiteral("Over"));

    // A digit typed into a field belongs to the field; Space on a focused
    // button still plays rather than pressing that button.
    bool pictureShown = false;
    form->setPictureWindow([&] { pictureShown = true; });
    key(Qt::Key_Enter);
    ASSERT_TRUE(form->Second->isVisible());
    // The bet field is locked while dealt, so the hold keys work from it too.
    form->Bet->setFocus();
    key(Qt::Key_4, form->Bet);
    EXPECT_EQ(form->HoldPanel[3]->text(), QStringLiteral("Hold"));
    EXPECT_EQ(form->Bet->value(), 5);
    form->SpinEdit1->setFocus();
    form->SpinEdit1->selectAll();
    key(Qt::Key_3, form->SpinEdit1);
    EXPECT_EQ(form->SpinEdit1->text(), QStringLiteral("3"));
    EXPECT_EQ(form->HoldPanel[2]->text(), QStringLiteral("Draw"));
    form->Button2->setFocus();
    key(Qt::Key_Space, form->Button2);
    EXPECT_FALSE(pictureShown);
    EXPECT_TRUE(form->Shuffle->isVisible());

    // Space and H are the table's even from the bet field.
    form->Bet->setFocus();
    key(Qt::Key_Space, form->Bet);
    EXPECT_TRUE(form->Second->isVisible());
    EXPECT_EQ(form->Bet->text(), QStringLiteral("5"));
    key(Qt::Key_Space, form->Bet);

    // Enter right after typing a bet deals at that bet.
    form->Bet->setFocus();
    form->Bet->selectAll();
    QTest::keyClicks(form->Bet, QStringLiteral("10"));
    key(Qt::Key_Return, form->Bet);
    EXPECT_TRUE(form->Second->isVisible());
    EXPECT_EQ(form->game().bet(), 10);
}

TEST_F(TableTest, DigitsAreHoldKeysUntilThePlayerGoesIntoTheBetField)
{
    // Typed where the keyboard focus is, as a player would.
    const auto type = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
    form->Bet->setValue(20);
    EXPECT_EQ(QApplication::focusWidget(), form->Shuffle);
    type(Qt::Key_3);
    type(Qt::Key_Return);
    ASSERT_TRUE(form->Second->isVisible());
    EXPECT_EQ(form->game().bet(), 20);
    EXPECT_EQ(QApplication::focusWidget(), form->Second);
    type(Qt::Key_3);
    EXPECT_EQ(form->HoldPanel[2]->text(), QStringLiteral("Hold"));
    type(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form->Shuffle);
    type(Qt::Key_3);
    type(Qt::Key_Return);
    EXPECT_EQ(form->game().bet(), 20);
    EXPECT_EQ(form->Bet->text(), QStringLiteral("20"));

    // Tabbing into the field makes digits a bet.
    type(Qt::Key_Return);
    for (int tab = 0; tab < 12 && !form->Bet->hasFocus(); ++tab)
        type(Qt::Key_Tab);
    ASSERT_TRUE(form->Bet->hasFocus());
    form->Bet->selectAll();
    type(Qt::Key_1);
    type(Qt::Key_0);
    type(Qt::Key_Return);
    EXPECT_EQ(form->game().bet(), 10);
}

TEST_F(TableTest, ADialogChosenFromTheMenusByKeysLeavesTheKeysToTheTable)
{
    // Alt, then a menu item opening a dialog: Qt gives the focus back to the
    // closed menu bar when the dialog goes.
    form->menuBar()->setFocus(Qt::MenuBarFocusReason);
    {
        QDialog dialog(form.get());
        dialog.show();
        QApplication::processEvents();
    }
    QApplication::setActiveWindow(form.get());
    ASSERT_EQ_SOON(QApplication::focusWidget(), form->Shuffle, 5000);

    // Even where the bar keeps it, Enter deals and Space draws.
    form->menuBar()->setFocus(Qt::MenuBarFocusReason);
    QTest::keyClick(form->menuBar(), Qt::Key_Return);
    EXPECT_TRUE(form->Second->isVisible());
    form->menuBar()->setFocus(Qt::MenuBarFocusReason);
    QTest::keyClick(form->menuBar(), Qt::Key_Space);
    EXPECT_TRUE(form->Shuffle->isVisible());
}

TEST_F(TableTest, StatisticsAreReadAndScrolledByKeys)
{
    const auto type = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
    QTest::mouseClick(form->StringGrid1->viewport(), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), form->Shuffle);
    for (int tab = 0; tab < 12 && !form->StringGrid1->hasFocus(); ++tab)
        type(Qt::Key_Tab);
    ASSERT_TRUE(form->StringGrid1->hasFocus());
    // The last hands are beyond the grid's edge until the arrows reach them.
    const auto inView = [this](int col) {
        return form->StringGrid1->viewport()->rect().contains(
            form->StringGrid1->visualRect(form->StringGrid1->model()->index(1, col)));
    };
    ASSERT_FALSE(inView(9));
    for (int col = 0; col < 10; ++col)
        type(Qt::Key_Right);
    EXPECT_TRUE(inView(9));
    EXPECT_EQ(form->StringGrid1->currentColumn(), 9);
    // Tab goes on to the next control instead of walking the cells.
    type(Qt::Key_Tab);
    EXPECT_FALSE(form->StringGrid1->hasFocus());
}

TEST_F(TableTest, StatisticsAreShownWholeOnALargeTable)
{
    form->resize(1280, 960);
    QApplication::processEvents();
    for (int rank = 1; rank < kHandRankCount; ++rank)
        form->game().counters().perRank[rank] = 12345;
    form->SpeedButton5Click();
    for (ClickPanel *panel : {form->Cash, form->Panel4}) {
        const QFont shown = panel->fittedFont();
        EXPECT_LE(QFontMetrics(shown).horizontalAdvance(panel->text()), panel->contentsRect().width());
    }
    EXPECT_LT(form->Panel4->fittedFont().pixelSize(), form->Panel4->font().pixelSize());
    const QFontMetrics grid(form->StringGrid1->font());
    EXPECT_GT(form->StringGrid1->columnWidth(7), grid.horizontalAdvance(QStringLiteral("Straight Flush")));
}

TEST_F(TableTest, HKeyShowsABestHoldAndTheDrawTellsWhatAWeakerHoldCost)
{
    const auto held = [this] {
        std::array<bool, 5> h{};
        for (int k = 0; k < 5; ++k)
            h[k] = form->HoldPanel[k]->text() == QStringLiteral("Hold");
        return HoldMaskOf(h);
    };
    // Before a deal H does nothing.
    QTest::keyClick(form.get(), Qt::Key_H);
    EXPECT_EQ(held(), 0u);
    EXPECT_TRUE(form->EStatusBar1->message().isEmpty());

    // Seed 0 deals 7C KC 6D 5S 4S: the run 7 6 5 4 is the best hold.
    QTest::keyClick(form.get(), Qt::Key_Space);
    const Hand dealt = form->game().hand();
    const HoldAnalysis odds = *HoldOdds::shared().analyse(dealt, form->game().payouts());
    ASSERT_EQ(odds.bestHolds(), std::vector<HoldMask>({0b11101}));
    QTest::keyClick(form.get(), Qt::Key_2); // a hold H must take back
    QTest::keyClick(form.get(), Qt::Key_H);
    ASSERT_EQ_SOON(held(), 0b11101u, 30000);
    EXPECT_EQ(form->EStatusBar1->message(), BestHoldText(odds, dealt));
    EXPECT_TRUE(form->EStatusBar1->message().startsWith(QStringLiteral("Best hold: 7C 6D 5S 4S, worth ")));
    // The screen reader hears the cards' names.
    const Announcer *announcer = form->findChild<Announcer *>();
    ASSERT_TRUE(announcer);
    ASSERT_SOON(announcer->news().contains(
                    QStringLiteral("Best hold: 7 of Clubs, 6 of Diamonds, 5 of Spades, 4 of Spades, worth ")),
                5000);

    // Playing that best hold costs nothing and is not remarked on.
    QTest::keyClick(form.get(), Qt::Key_Return);
    EXPECT_TRUE(form->EStatusBar1->message().isEmpty());

    // Next hand: keep only the first card, which is not a best hold.
    QTest::keyClick(form.get(), Qt::Key_Return);
    const Hand second = form->game().hand();
    const HoldAnalysis secondOdds = *HoldOdds::shared().analyse(second, form->game().payouts());
    ASSERT_FALSE(secondOdds.isBest(0b00001));
    QTest::keyClick(form.get(), Qt::Key_1);
    QTest::keyClick(form.get(), Qt::Key_Return);
    // The cost names the line of the table's strategy chart that applies.
    ASSERT_SOON(ChartKeeper::shared().chart(form->game().payouts()), 30000);
    const int line = ChartKeeper::shared().chart(form->game().payouts())->choose(second, secondOdds).line;
    ASSERT_EQ_SOON(form->EStatusBar1->message(), HoldCostText(secondOdds, second, 0b00001, line), 30000);
    EXPECT_TRUE(form->EStatusBar1->message().endsWith(QStringLiteral(" (chart line %1)").arg(line)));
    // A new deal clears it.
    QTest::keyClick(form.get(), Qt::Key_Return);
    EXPECT_TRUE(form->EStatusBar1->message().isEmpty());

    // A stored multiplier beyond what the odds weigh gets an answer too.
    form->game().payouts()[9] = 200000;
    QTest::keyClick(form.get(), Qt::Key_H);
    ASSERT_EQ_SOON(form->EStatusBar1->message(),
                   QStringLiteral("No best hold can be worked out for payouts above 99999"), 30000);
    QTest::keyClick(form.get(), Qt::Key_H); // asked again, answered at once
    EXPECT_EQ(form->EStatusBar1->message(), QStringLiteral("No best hold can be worked out for payouts above 99999"));
}
