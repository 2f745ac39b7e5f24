#include "controls/ClickPanel.h"
#include "controls/SpinEdit.h"
#include "controls/TEStatusBar.h"
#include "game/PieGauge.h"
#include "game/RandomGenerator.h"
#include "game/Statistics.h"
#include "game/TForm1.h"
#include "platform/ScriptedDialogService.h"

#include "tests/support/Actions.h"
#include "tests/support/Soon.h"
#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace brisvale {
namespace {

using platform::ScriptedDialogService;

class TableLife : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&dialogs);
        form = std::make_unique<TForm1>();
        form->resize(640, 492);
        form->show();
        QApplication::processEvents();
        // No picture pause: a won hand must not wait in these tests.
        form->RadioButton4->setChecked(true);
    }
    void TearDown() override
    {
        form.reset();
        platform::setDialogService(nullptr);
    }

    void trigger(const QString &text)
    {
        QAction *action = test::actionByText(form.get(), text);
        ASSERT_NE(action, nullptr) << text.toStdString();
        action->trigger();
    }
    QString grid(int row, int col) const { return form->StringGrid1->item(row, col)->text(); }
    QColor tableBackground() const { return form->centralWidget()->palette().color(QPalette::Window); }
    QColor betBackground() const { return form->Bet->palette().color(QPalette::Base); }

    ScriptedDialogService dialogs;
    std::unique_ptr<TForm1> form;
};

TEST_F(TableLife, GridStaysEmptyUntilTheFirstSettledHand)
{
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 10; ++col)
            EXPECT_TRUE(grid(row, col).isEmpty());
    EXPECT_EQ(form->Gauge1->progress(), 0);
}

TEST_F(TableLife, FixedColumnAndRowStayInPlaceWhenTheGridScrollsSideways)
{
    form->UpdateDisplay();
    FixedCellGrid *g = form->StringGrid1;
    g->horizontalScrollBar()->setValue(g->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    // The other columns have moved under the fixed one...
    ASSERT_GT(g->horizontalScrollBar()->value(), 0);
    EXPECT_LT(g->columnViewportPosition(1), g->columnWidth(0));
    // ...which still shows "No Pair" and its count at the left edge.
    QTableView *fixed = g->fixedColumn();
    EXPECT_EQ(g->childAt(g->viewport()->geometry().topLeft() + QPoint(2, 2)), fixed->viewport());
    EXPECT_EQ(fixed->indexAt(QPoint(2, 2)).data().toString(), QStringLiteral("No Pair"));
    const QPoint countCell(2, g->rowViewportPosition(1) + 2);
    EXPECT_EQ(fixed->indexAt(countCell).data().toString(), QStringLiteral("0"));
    EXPECT_EQ(g->rowViewportPosition(0), 0); // the first row keeps its place
}

TEST_F(TableLife, UpdateDisplayShowsTotalCountersNamesAndGauge)
{
    GameCounters &c = form->game().counters();
    for (int rank = 0; rank < 10; ++rank)
        c.perRank[rank] = rank * 3 + 1;
    c.wins = 1;
    form->game().setTotal(4321);
    form->UpdateDisplay();

    EXPECT_EQ(form->Panel5->text(), QStringLiteral("4321"));
    const QStringList names{"No Pair", "Pairs",      "2 Pair",      "3 of a Kind",    "Straight",
                            "Flush",   "Full House", "4 of a Kind", "Straight Flush", "Royal Flush"};
    for (int col = 0; col < 10; ++col) {
        EXPECT_EQ(grid(0, col), names[col]);
        EXPECT_EQ(grid(1, col), QString::number(col * 3 + 1));
    }
    EXPECT_EQ(form->Gauge1->progress(), 100);
    c.losses = 1;
    form->UpdateDisplay();
    EXPECT_EQ(form->Gauge1->progress(), 50);
    c.losses = 2;
    form->UpdateDisplay();
    EXPECT_EQ(form->Gauge1->progress(), 33);
    for (ClickPanel *panel : form->HoldPanel)
        EXPECT_EQ(panel->text(), QStringLiteral("Over"));
}

TEST_F(TableLife, PlayedHandsMoveTheGauge)
{
    for (int hand = 0; hand < 6; ++hand) {
        form->Shuffle->click();
        form->Second->click();
    }
    const GameCounters &c = form->game().counters();
    ASSERT_EQ(c.wins + c.losses, 6);
    EXPECT_EQ(form->Gauge1->progress(), winPercentage(c));
    EXPECT_EQ(grid(0, 0), QStringLiteral("No Pair"));
}

TEST_F(TableLife, StatsBeforeAnyHand)
{
    QTest::mouseClick(form->SpeedButton5, Qt::LeftButton);
    EXPECT_EQ(form->Cash->text(), QStringLiteral("Player has Won 0 hands and Lost 0 Total Pairs =0"));
    EXPECT_EQ(form->Panel4->text(), QStringLiteral(" "));
}

TEST_F(TableLife, StatsShowTheHighHands)
{
    GameCounters &c = form->game().counters();
    c.perRank[1] = 5;
    c.perRank[3] = 2;
    c.perRank[5] = 1;
    c.wins = 6;
    c.losses = 4;
    form->SpeedButton5->click();
    EXPECT_EQ(form->Cash->text(), QStringLiteral("Player has Won 6 hands and Lost 4 Total Pairs =5"));
    EXPECT_EQ(form->Panel4->text(), QStringLiteral("  3 of a Kind=2 Flushs=1"));

    c.perRank.fill(0);
    c.perRank[2] = 4;
    form->SpeedButton5->click();
    EXPECT_EQ(form->Panel4->text(), QStringLiteral("High Hands Two Pair=4"));
}

TEST_F(TableLife, NextDealClearsTheStatsTexts)
{
    form->game().counters().perRank[2] = 4;
    form->SpeedButton5->click();
    form->Shuffle->click();
    EXPECT_EQ(form->Cash->text(), QStringLiteral(" "));
    EXPECT_EQ(form->Panel4->text(), QStringLiteral("  "));
}

TEST_F(TableLife, SetTotalLeavesCountersAndBetAlone)
{
    form->Bet->setValue(15);
    form->game().counters().perRank[4] = 3;
    form->game().counters().wins = 3;
    const int betMaximum = form->game().betMaximum();

    trigger(QStringLiteral("10000"));
    EXPECT_EQ(form->game().total(), 10000);
    EXPECT_EQ(form->Panel5->text(), QStringLiteral("10000"));
    trigger(QStringLiteral("100000"));
    EXPECT_EQ(form->game().total(), 100000);
    EXPECT_EQ(form->Panel5->text(), QStringLiteral("100000"));
    trigger(QStringLiteral("1000"));
    EXPECT_EQ(form->game().total(), 1000);
    EXPECT_EQ(form->Panel5->text(), QStringLiteral("1000"));

    EXPECT_EQ(form->game().bet(), 15);
    EXPECT_EQ(form->Bet->value(), 15);
    EXPECT_EQ(form->game().betMaximum(), betMaximum);
    EXPECT_EQ(form->Bet->maximum(), betMaximum);
    EXPECT_EQ(form->game().counters().perRank[4], 3);
    EXPECT_EQ(form->game().counters().wins, 3);
}

TEST_F(TableLife, HandDealtBeforeSetTotalSettlesAgainstTheNewTotal)
{
    for (std::uint32_t seed : {1u, 77u, 4242u, 90001u}) {
        randomGenerator().setSeed(seed);
        form->Shuffle->click();
        trigger(QStringLiteral("100000"));
        form->Second->click();

        GameCounters scratch;
        const Settlement expected = Settle(Evaluate(form->game().hand()), form->game().bet(), 100000,
                                           form->game().payouts(), scratch);
        EXPECT_EQ(form->game().total(), expected.total) << "seed " << seed;
        EXPECT_EQ(form->Panel5->text(), QString::number(expected.total));
    }
}

TEST_F(TableLife, BackgroundChosenOrCancelled)
{
    const QColor before = tableBackground();
    dialogs.queueColor(std::nullopt);
    trigger(QStringLiteral("Background"));
    EXPECT_EQ(form->FormColor, -1);
    EXPECT_EQ(tableBackground(), before);

    dialogs.queueColor(QColor(10, 20, 30));
    trigger(QStringLiteral("Background"));
    EXPECT_EQ(form->FormColor, 10 + 20 * 256 + 30 * 65536);
    EXPECT_EQ(tableBackground(), QColor(10, 20, 30));

    // A cancelled dialog afterwards keeps the colour and its setting.
    trigger(QStringLiteral("Background"));
    EXPECT_EQ(form->FormColor, 10 + 20 * 256 + 30 * 65536);
    EXPECT_EQ(tableBackground(), QColor(10, 20, 30));
}

TEST_F(TableLife, CancelledPiechartRecordsTheDesignRed)
{
    EXPECT_EQ(form->Gauge1->foreColor(), QColor(Qt::red));
    EXPECT_EQ(form->Gauge1->backColor(), QColor(Qt::yellow));
    trigger(QStringLiteral("Piechart"));
    EXPECT_EQ(form->PieColor, 255);
    EXPECT_EQ(form->Gauge1->foreColor(), QColor(Qt::red));

    dialogs.queueColor(QColor(0, 128, 0));
    trigger(QStringLiteral("Piechart"));
    EXPECT_EQ(form->PieColor, 128 * 256);
    EXPECT_EQ(form->Gauge1->foreColor(), QColor(0, 128, 0));
    EXPECT_EQ(form->Gauge1->backColor(), QColor(Qt::yellow));
}

TEST_F(TableLife, TotalAndAmountRecordTheirColourEvenWhenCancelled)
{
    // Never recoloured, they show the button face: a system colour, which is
    // negative and so never stored.
    trigger(QStringLiteral("Total"));
    EXPECT_LT(form->TotalColor, 0);
    trigger(QStringLiteral("Amount"));
    EXPECT_LT(form->AmountColor, 0);

    dialogs.queueColor(QColor(200, 0, 200));
    trigger(QStringLiteral("Total"));
    EXPECT_EQ(form->TotalColor, 200 + 200 * 65536);
    EXPECT_EQ(form->Panel5->color(), QColor(200, 0, 200));
    trigger(QStringLiteral("Total")); // cancelled: the chosen colour is recorded again
    EXPECT_EQ(form->TotalColor, 200 + 200 * 65536);

    dialogs.queueColor(QColor(0, 200, 200));
    trigger(QStringLiteral("Amount"));
    EXPECT_EQ(form->AmountColor, 200 * 256 + 200 * 65536);
    EXPECT_EQ(betBackground(), QColor(0, 200, 200));
    EXPECT_EQ(form->TotalColor, 200 + 200 * 65536);
}

TEST_F(TableLife, BlackRecoloursButIsNotAStorableSetting)
{
    dialogs.queueColor(QColor(Qt::black));
    trigger(QStringLiteral("Background"));
    dialogs.queueColor(QColor(Qt::black));
    trigger(QStringLiteral("Piechart"));
    dialogs.queueColor(QColor(Qt::black));
    trigger(QStringLiteral("Total"));
    dialogs.queueColor(QColor(Qt::black));
    trigger(QStringLiteral("Amount"));

    EXPECT_EQ(tableBackground(), QColor(Qt::black));
    EXPECT_EQ(form->Gauge1->foreColor(), QColor(Qt::black));
    EXPECT_EQ(form->Panel5->color(), QColor(Qt::black));
    EXPECT_EQ(betBackground(), QColor(Qt::black));
    // Only values above 0 are written at close or applied at start.
    for (int setting : {form->FormColor, form->PieColor, form->TotalColor, form->AmountColor})
        EXPECT_EQ(setting, 0);
}

TEST_F(TableLife, DialogOpensOnTheLastChosenColour)
{
    trigger(QStringLiteral("Piechart"));
    dialogs.queueColor(QColor(1, 2, 3));
    trigger(QStringLiteral("Total"));
    trigger(QStringLiteral("Amount")); // cancelled
    dialogs.queueColor(QColor(9, 8, 7));
    trigger(QStringLiteral("Background"));
    trigger(QStringLiteral("Background"));

    std::vector<QColor> initial;
    for (const ScriptedDialogService::Entry &entry : dialogs.entries())
        if (entry.kind == ScriptedDialogService::Kind::Color)
            initial.push_back(entry.initial);
    ASSERT_EQ(initial.size(), 5u);
    EXPECT_EQ(initial[0], QColor(Qt::black));
    EXPECT_EQ(initial[1], QColor(Qt::black));
    EXPECT_EQ(initial[2], QColor(1, 2, 3));
    EXPECT_EQ(initial[3], QColor(1, 2, 3));
    EXPECT_EQ(initial[4], QColor(9, 8, 7));
}

TEST_F(TableLife, ColourSettingsAboveZeroAreApplied)
{
    const QColor designTable = tableBackground();
    const QColor designBet = betBackground();
    form->FormColor = 0;
    form->PieColor = 255 * 65536;
    form->TotalColor = -1;
    form->AmountColor = 100;
    form->applyColorSettings();
    EXPECT_EQ(tableBackground(), designTable);
    EXPECT_EQ(form->Gauge1->foreColor(), QColor(0, 0, 255));
    EXPECT_EQ(form->Panel5->color(), form->Panel5->palette().color(QPalette::Button));
    EXPECT_EQ(betBackground(), QColor(100, 0, 0));
    EXPECT_NE(betBackground(), designBet);

    form->FormColor = 0x00FF00;
    form->applyColorSettings();
    EXPECT_EQ(tableBackground(), QColor(0, 255, 0));
}

TEST_F(TableLife, StatusBarAsDesigned)
{
    TEStatusBar *bar = form->EStatusBar1;
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->parentWidget(), form.get());
    EXPECT_EQ(bar->Caption(), QStringLiteral("Brisvale for Windows 95"));
    EXPECT_EQ(bar->SectMainBevel(), TSectionBevels::sbLow);
    EXPECT_EQ(bar->BevelOuter(), TBevelCut::bvLowered); // applied
    EXPECT_EQ(bar->BevelInner(), TBevelCut::bvNone);
    EXPECT_TRUE(bar->Enabled());
    EXPECT_EQ(bar->UpdateInterval(), 0);
    EXPECT_EQ(bar->clockPeriod(), TEStatusBar::kMinimumPeriodMs);

    // At the window's bottom edge, clear of the table above it.
    EXPECT_EQ(bar->geometry(), QRect(0, form->height() - 25, form->width(), 25));
    EXPECT_LE(form->centralWidget()->geometry().bottom(), bar->y() - 1);
    EXPECT_LT(bar->dateSection()->x(), bar->timeSection()->x());
    EXPECT_EQ(bar->dateSection()->x(), bar->bevelInset());

    ASSERT_SOON(!bar->timeSection()->Caption().isEmpty(), 2000);
    EXPECT_FALSE(bar->dateSection()->Caption().isEmpty());

    // It scales with the table: 800 / 640 of its design height.
    form->resize(800, 600);
    QApplication::processEvents();
    EXPECT_EQ(bar->geometry(), QRect(0, 600 - 31, 800, 31));
    EXPECT_EQ(bar->font().pixelSize(), 16);
    EXPECT_EQ(bar->dateSection()->width(), 125);
}

TEST_F(TableLife, PressOnTheStatusBarReachesTheGameWindow)
{
    struct Filter : QObject {
        std::vector<QPoint> presses;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::MouseButtonPress)
                presses.push_back(static_cast<QMouseEvent *>(event)->position().toPoint());
            return false;
        }
    } filter;
    form->installEventFilter(&filter);
    QTest::mouseClick(form->EStatusBar1->dateSection(), Qt::LeftButton, {}, QPoint(12, 6));
    ASSERT_EQ(filter.presses.size(), 1u);
    EXPECT_EQ(filter.presses[0], QPoint(12, 6));
    form->removeEventFilter(&filter);
}

} // namespace
} // namespace brisvale
