#include "game/THoldAnalysis.h"

#include "controls/SpinEdit.h"
#include "game/CardCodes.h"
#include "game/ChartKeeper.h"
#include "game/RandomGenerator.h"
#include "game/SessionChart.h"
#include "game/TForm1.h"
#include "odds/HoldOdds.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/Soon.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace brisvale;

namespace {

class HoldAnalysisWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&dialogs);
        form = std::make_unique<TForm1>();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->RadioButton4->setChecked(true); // no picture after a win
        randomGenerator().setSeed(0);
        window = form->HoldAnalysis1;
    }
    void TearDown() override
    {
        form.reset();
        platform::setDialogService(nullptr);
    }

    // Presses a key at the table, as the player would with it in front.
    void tableKey(Qt::Key key)
    {
        QApplication::setActiveWindow(form.get());
        QTest::keyClick(form.get(), key);
    }
    // Empty while the holds are being worked out.
    QString text(int row, int col) const
    {
        const QTableWidgetItem *item = window->HoldList->item(row, col);
        return item ? item->text() : QString();
    }

    platform::ScriptedDialogService dialogs;
    std::unique_ptr<TForm1> form;
    THoldAnalysis *window = nullptr;
};

} // namespace

TEST_F(HoldAnalysisWindow, ShowsEveryHoldFollowsThePayoutsAndLogsAWeakHold)
{
    // Seed 0 deals 7C KC 6D 5S 4S.
    tableKey(Qt::Key_Space);
    const Hand dealt = form->game().hand();
    tableKey(Qt::Key_A);
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Hold Analysis"));
    ASSERT_EQ_SOON(window->HoldList->rowCount(), kHoldCount, 30000);
    const HoldAnalysis odds = *HoldOdds::shared().analyse(dealt, form->game().payouts());
    // The held cards' codes stand beside the small cards; a screen reader says their names.
    EXPECT_EQ(text(0, 1), QStringLiteral("7C 6D 5S 4S"));
    EXPECT_EQ(window->HoldList->item(0, 1)->toolTip(), QStringLiteral("7C 6D 5S 4S"));
    QAccessibleInterface *cells = QAccessible::queryAccessibleInterface(window->HoldList);
    ASSERT_TRUE(cells && cells->tableInterface());
    EXPECT_EQ(cells->tableInterface()->cellAt(0, 1)->text(QAccessible::Name),
              QStringLiteral("7 of Clubs, 6 of Diamonds, 5 of Spades, 4 of Spades"));
    EXPECT_EQ(window->DealtCards->accessibleName(),
              QStringLiteral("Dealt: 7 of Clubs, King of Clubs, 6 of Diamonds, 5 of Spades, 4 of Spades"));
    EXPECT_EQ(text(0, 0), QStringLiteral("1"));
    EXPECT_EQ(text(0, 2).toStdString(), odds.best().decimal(4));
    EXPECT_EQ(window->HoldList->item(0, 2)->toolTip().toStdString(), odds.best().text());
    EXPECT_EQ(text(0, 3).toStdString(), odds.best().times(5).decimal(2));
    EXPECT_EQ(text(0, 4), QStringLiteral("Best"));

    // Arrows move through the holds; the final hands follow the selection.
    QTest::keyClick(window->HoldList, Qt::Key_Down);
    EXPECT_EQ(window->HoldList->currentRow(), 1);
    const HoldMask second = window->holds()->rows()[1].mask;
    EXPECT_TRUE(window->FinalsHeading->text().startsWith(QStringLiteral("Keeping ") + HeldCodes(dealt, second)));
    ASSERT_EQ(window->Finals->rowCount(), kPayClassCount);
    EXPECT_EQ(window->Finals->item(0, 0)->text(), QStringLiteral("Royal Flush"));
    EXPECT_EQ(window->Finals->item(kPayClassCount - 1, 0)->text(), QStringLiteral("Nothing"));
    EXPECT_EQ(window->Finals->item(kPayClassCount - 1, 1)->text(), QString::number(odds.outcome(second).finals[0]));
    QTest::keyClick(window->HoldList, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());

    // Before any hand the session's charts say there is nothing to draw.
    QAccessibleInterface *totalChart = QAccessible::queryAccessibleInterface(window->TotalChart);
    ASSERT_TRUE(totalChart);
    EXPECT_EQ(totalChart->role(), QAccessible::Chart);
    EXPECT_EQ(totalChart->text(QAccessible::Name), QStringLiteral("Total after each hand"));
    EXPECT_EQ(totalChart->text(QAccessible::Description), QStringLiteral("No hands played yet."));

    // Keep the king alone: a mistake, logged with its cost.
    tableKey(Qt::Key_2);
    tableKey(Qt::Key_Return);
    ASSERT_EQ_SOON(window->Mistakes->rowCount(), 1, 30000);
    // The charts follow the table's total and the cost, drawn and in words.
    const double total = form->game().total();
    EXPECT_EQ(window->TotalChart->points(), (std::vector<double>{1000, total}));
    EXPECT_EQ(window->CostChart->points(), (std::vector<double>{0, odds.cost(0b00010).times(5).value()}));
    EXPECT_TRUE(totalChart->text(QAccessible::Description)
                    .startsWith(QStringLiteral("The total went from 1000 to %1 over 1 hand;").arg(total)));
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(window->CostChart)
                    ->text(QAccessible::Description)
                    .startsWith(QStringLiteral("1 mistake in 1 hand cost ")));
    EXPECT_EQ(window->Mistakes->item(0, 1)->text(), QStringLiteral("7C KC 6D 5S 4S"));
    EXPECT_EQ(window->Mistakes->item(0, 2)->text(), QStringLiteral("KC"));
    EXPECT_EQ(window->Mistakes->item(0, 4)->text().toStdString(), odds.cost(0b00010).decimal(4));
    EXPECT_TRUE(window->Summary->text().startsWith(QStringLiteral("Hands played: 1\nMistakes: 1\n")));

    // After the draw the pop-up menu's last item shows the hand as dealt,
    // with the hold played marked.
    form->PopupMenu1->actions().last()->trigger();
    ASSERT_EQ_SOON(window->HoldList->rowCount(), kHoldCount, 30000);
    const int played = window->HoldList->currentRow();
    EXPECT_EQ(window->HoldList->item(played, 1)->toolTip(), QStringLiteral("KC"));
    EXPECT_TRUE(text(played, 4).startsWith(QStringLiteral("Your hold, costs ")));

    // New payouts: every figure is worked out again.
    form->game().payouts()[4] = 9;
    form->AdjustPayouts1Click();
    const HoldAnalysis richer = *HoldOdds::shared().analyse(dealt, form->game().payouts());
    ASSERT_EQ_SOON(text(0, 2).toStdString(), richer.best().decimal(4), 30000);

    // The open window follows the next deal at the table.
    tableKey(Qt::Key_Space);
    ASSERT_SOON(window->holds() && window->holds()->dealt() == form->game().hand(), 30000);
    EXPECT_NE(form->game().hand(), dealt);

    // The log saved as CSV, and a save that cannot be written said so.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.csv"));
    dialogs.queueOpenFile(path);
    window->SaveCsv->click();
    ASSERT_FALSE(dialogs.entries().empty());
    EXPECT_TRUE(dialogs.entries().back().request.save);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), window->session().csv());
    const QString blocked = dir.filePath(QStringLiteral("no/such/folder/log.csv"));
    dialogs.queueOpenFile(blocked);
    window->SaveCsv->click();
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Unable to write to ") + blocked});
}

TEST_F(HoldAnalysisWindow, WarnsBeforeACostlyDrawAndLetsThePlayerChangeTheHold)
{
    form->WarnCostlyDraw->setChecked(true);
    // Seed 0 deals 7C KC 6D 5S 4S: the run 7 6 5 4 is the best hold.
    tableKey(Qt::Key_Space);
    const Hand dealt = form->game().hand();
    ASSERT_SOON(ChartKeeper::shared().chart(form->game().payouts()), 60000);
    const StrategyChart &chart = *ChartKeeper::shared().chart(form->game().payouts());
    const HoldAnalysis odds = *HoldOdds::shared().analyse(dealt, form->game().payouts());
    const StrategyChart::Choice choice = chart.choose(dealt, odds);

    // Keeping the king alone asks first; No goes back to the hold.
    tableKey(Qt::Key_2);
    dialogs.queueConfirm(false);
    tableKey(Qt::Key_Return);
    ASSERT_EQ(dialogs.entries().size(), 1u);
    EXPECT_EQ(dialogs.entries().back().kind, platform::ScriptedDialogService::Kind::Question);
    const QString question = dialogs.entries().back().text;
    EXPECT_TRUE(
        question.startsWith(QStringLiteral("Holding KC costs %1 \u00d7 bet on average (%2 coins at your bet of 5).")
                                .arg(QString::fromStdString(odds.cost(0b00010).decimal(4)),
                                     QString::fromStdString(odds.cost(0b00010).times(5).decimal(2)))))
        << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("\nThe strategy chart says, line %1 (%2): hold 7C 6D 5S 4S.")
                                      .arg(choice.line)
                                      .arg(chart.lineText(choice.line))))
        << question.toStdString();
    EXPECT_TRUE(question.endsWith(QStringLiteral("Draw anyway? (No goes back to change the hold.)")));
    // A screen reader is given the cards by name, not the codes to spell out.
    const QString spoken = dialogs.entries().back().spoken;
    EXPECT_TRUE(spoken.startsWith(QStringLiteral("Holding King of Clubs costs "))) << spoken.toStdString();
    EXPECT_TRUE(spoken.contains(QStringLiteral(": hold 7 of Clubs, 6 of Diamonds, 5 of Spades, 4 of Spades.")))
        << spoken.toStdString();
    EXPECT_TRUE(form->Second->isVisible());
    EXPECT_EQ(form->game().hand(), dealt);
    EXPECT_EQ(form->game().counters().wins + form->game().counters().losses, 0);

    // Changed to the best hold, the draw goes ahead without a word.
    for (Qt::Key key : {Qt::Key_2, Qt::Key_1, Qt::Key_3, Qt::Key_4, Qt::Key_5})
        tableKey(key);
    tableKey(Qt::Key_Return);
    EXPECT_EQ(dialogs.entries().size(), 1u);
    EXPECT_FALSE(form->Second->isVisible());

    // Yes draws the weak hold anyway, and the log counts it.
    tableKey(Qt::Key_Space);
    const HoldAnalysis next = *HoldOdds::shared().analyse(form->game().hand(), form->game().payouts());
    ASSERT_FALSE(next.isBest(0));
    dialogs.queueConfirm(true);
    tableKey(Qt::Key_Return);
    EXPECT_EQ(dialogs.entries().size(), 2u);
    EXPECT_FALSE(form->Second->isVisible());
    ASSERT_EQ_SOON(window->Mistakes->rowCount(), 1, 30000);
}

TEST_F(HoldAnalysisWindow, AReopenedMistakeShowsItsHoldsAtTheBetItWasPlayedAt)
{
    // Seed 0 deals 7C KC 6D 5S 4S; keep the king alone at a bet of 5.
    tableKey(Qt::Key_Space);
    const Hand dealt = form->game().hand();
    tableKey(Qt::Key_2);
    tableKey(Qt::Key_Return);
    ASSERT_EQ_SOON(window->Mistakes->rowCount(), 1, 30000);
    // The next hand is dealt at a bet of 10.
    form->Bet->setValue(10);
    tableKey(Qt::Key_Space);

    // Enter or a double click on the row in the Session page.
    window->Mistakes->setCurrentCell(0, 0);
    emit window->Mistakes->cellActivated(0, 0);
    ASSERT_EQ_SOON(window->HoldList->rowCount(), kHoldCount, 30000);
    EXPECT_EQ(window->Pages->currentIndex(), 0);
    ASSERT_TRUE(window->holds());
    EXPECT_EQ(window->holds()->dealt(), dealt);
    EXPECT_EQ(window->holds()->played(), std::optional<HoldMask>(0b00010));
    const HoldAnalysis odds = *HoldOdds::shared().analyse(dealt, form->game().payouts());
    const int played = window->HoldList->currentRow();
    EXPECT_EQ(window->HoldList->item(played, 1)->toolTip(), QStringLiteral("KC"));
    // Its coins at the bet of 5 it was played at, not the table's 10.
    EXPECT_EQ(text(played, 3).toStdString(), odds.value(0b00010).times(5).decimal(2));
    EXPECT_EQ(text(0, 3).toStdString(), odds.best().times(5).decimal(2));
}

namespace {

// The file dialog as a window manager may leave things when it closes: the
// table active, with its Draw button focused.
class TableTakesTheFocus : public platform::ScriptedDialogService {
public:
    explicit TableTakesTheFocus(TForm1 &table) : table_(table) {}
    std::optional<QString> openFile(const platform::OpenFileRequest &request) override
    {
        QApplication::setActiveWindow(&table_);
        table_.Second->setFocus();
        return ScriptedDialogService::openFile(request);
    }

private:
    TForm1 &table_;
};

} // namespace

TEST_F(HoldAnalysisWindow, TabLeavesItsListsAndTheKeysComeBackAfterSavingTheLog)
{
    // A mistake for the log, then the window on the next hand.
    tableKey(Qt::Key_Space);
    tableKey(Qt::Key_2);
    tableKey(Qt::Key_Return);
    ASSERT_EQ_SOON(window->Mistakes->rowCount(), 1, 30000);
    tableKey(Qt::Key_Space);
    tableKey(Qt::Key_A);
    ASSERT_EQ_SOON(window->HoldList->rowCount(), kHoldCount, 30000);
    ASSERT_EQ_SOON(QApplication::focusWidget(), window->HoldList, 5000);

    // Tab and Shift+Tab leave the list of holds, the arrows stay in it.
    QTest::keyClick(window->HoldList, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), window->HoldList);
    EXPECT_TRUE(window->isAncestorOf(QApplication::focusWidget()));
    window->HoldList->setFocus();
    QTest::keyClick(window->HoldList, Qt::Key_Backtab);
    EXPECT_NE(QApplication::focusWidget(), window->HoldList);
    EXPECT_TRUE(window->isAncestorOf(QApplication::focusWidget()));

    // From the log of mistakes Tab reaches the button that saves it.
    window->Pages->setCurrentIndex(2);
    window->Mistakes->setFocus();
    QTest::keyClick(window->Mistakes, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->SaveCsv);

    // Saved or cancelled, the keys come back to the button, not to the table.
    TableTakesTheFocus fileDialog(*form);
    platform::setDialogService(&fileDialog);
    QTemporaryDir dir;
    fileDialog.queueOpenFile(dir.filePath(QStringLiteral("log.csv")));
    fileDialog.queueOpenFile(std::nullopt);
    for (int save = 0; save < 2; ++save) {
        QTest::keyClick(window->SaveCsv, Qt::Key_Space);
        ASSERT_EQ(fileDialog.entries().size(), std::size_t(save + 1));
        ASSERT_EQ_SOON(QApplication::activeWindow(), window, 5000);
        EXPECT_EQ(QApplication::focusWidget(), window->SaveCsv);
    }
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("log.csv"))));
    platform::setDialogService(&dialogs);
}
