#include "game/TableAccessibility.h"
#include "controls/Announcer.h"
#include "controls/Cards.h"
#include "controls/ClickPanel.h"
#include "controls/SpinEdit.h"
#include "controls/TCardDeck.h"
#include "controls/TEStatusBar.h"
#include "game/PieGauge.h"
#include "game/RandomGenerator.h"
#include "game/TForm1.h"
#include "tests/support/AccessibleEvents.h"

#include <QApplication>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace brisvale {
namespace {

using test::AccessibleEvents;
using test::accessibleOf;

QString nameOf(QObject *object) { return accessibleOf(object)->text(QAccessible::Name); }

bool readsHeld(QObject *object) { return accessibleOf(object)->state().checked; }

TEST(TableAccessibilityTest, DealAndHoldAreAnnouncedCardByCard)
{
    AccessibleEvents events;
    ASSERT_TRUE(events.active()) << "Qt's bridge to the accessibility bus did not come up";
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    randomGenerator().setSeed(7);

    EXPECT_EQ(nameOf(form.Bet), QStringLiteral("Bet"));
    EXPECT_EQ(nameOf(form.SpinEdit1), QStringLiteral("Sleep time before Picture"));
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(nameOf(form.CardDeck[k]), QStringLiteral("Card back"));
        EXPECT_EQ(nameOf(form.HoldPanel[k]), QStringLiteral("Hold card %1").arg(k + 1));
    }

    events.clear();
    form.ShuffleClick();
    const QRegularExpression face(QStringLiteral("^(Ace|[2-9]|10|Jack|Queen|King) of (Spades|Hearts|Clubs|Diamonds)$"));
    for (TCardDeck *card : form.CardDeck) {
        EXPECT_TRUE(face.match(nameOf(card)).hasMatch()) << nameOf(card).toStdString();
        EXPECT_EQ(events.count(card, QAccessible::NameChanged), 1);
        EXPECT_FALSE(readsHeld(card));
    }

    events.clear();
    form.Panel7Click();
    EXPECT_TRUE(nameOf(form.CardDeck[1]).endsWith(QStringLiteral(", held")));
    EXPECT_TRUE(readsHeld(form.CardDeck[1]));
    EXPECT_TRUE(readsHeld(form.HoldPanel[1]));
    EXPECT_TRUE(events.checkedChanged(form.CardDeck[1]));
    EXPECT_TRUE(events.checkedChanged(form.HoldPanel[1]));
    for (int k : {0, 2, 3, 4}) {
        EXPECT_FALSE(readsHeld(form.CardDeck[k]));
        EXPECT_FALSE(events.checkedChanged(form.CardDeck[k]));
    }

    // The draw settles: result, money, total and gauge are all told; the
    // holds are over.
    events.clear();
    form.RadioButton4->setChecked(true); // no picture
    form.SecondClick();
    EXPECT_EQ(nameOf(form.Panel2), form.Panel2->text().trimmed());
    EXPECT_GE(events.count(form.Panel2, QAccessible::NameChanged), 1);
    EXPECT_GE(events.count(form.Cash, QAccessible::NameChanged), 1);
    EXPECT_EQ(nameOf(form.Panel5), form.Panel5->text());
    EXPECT_EQ(accessibleOf(form.Gauge1)->role(), QAccessible::ProgressBar);
    EXPECT_EQ(nameOf(form.Gauge1), QStringLiteral("Winning Percentage"));
    EXPECT_EQ(accessibleOf(form.Gauge1)->valueInterface()->currentValue().toInt(), form.Gauge1->progress());
    EXPECT_FALSE(readsHeld(form.CardDeck[1]));
    EXPECT_FALSE(nameOf(form.CardDeck[1]).endsWith(QStringLiteral(", held")));

    // Each count of the statistics grid is read with its hand.
    QAccessibleTableInterface *grid = accessibleOf(form.StringGrid1)->tableInterface();
    ASSERT_NE(grid, nullptr);
    QAccessibleInterface *pairs = grid->cellAt(1, 1);
    ASSERT_NE(pairs, nullptr);
    EXPECT_EQ(pairs->text(QAccessible::Name), form.StringGrid1->item(1, 1)->text());
    const QList<QAccessibleInterface *> headers = pairs->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers.front()->text(QAccessible::Name), QStringLiteral("Pairs"));
}

// A reader busy with the draw's news may come to read it only after the
// trainer's line has followed: it skips an object's appearance when the same
// object has appeared again since, so the line comes on another notice, and
// news not yet read is told again with it.
TEST(TableAccessibilityTest, NewsNotYetReadIsToldWithTheNext)
{
    QWidget window;
    auto *announcer = new Announcer(&window);
    window.show();
    announcer->say(QStringLiteral("You won"));
    QCoreApplication::processEvents();
    Notice *drawn = announcer->notice();
    announcer->sayAfter(QStringLiteral("Your hold cost nothing"));
    QCoreApplication::processEvents();
    EXPECT_NE(announcer->notice(), drawn);
    EXPECT_TRUE(drawn->isVisible());
    EXPECT_EQ(nameOf(announcer->notice()), QStringLiteral("You won. Your hold cost nothing"));

    // Once read, it is not told again.
    announcer->say(QStringLiteral("Deal"));
    QCoreApplication::processEvents();
    EXPECT_EQ(nameOf(announcer->notice()), QStringLiteral("Deal"));
}

// The trainer writes its cards as codes, which a reader would spell out:
// wherever its words reach a reader, the cards are said by name.
TEST(TableAccessibilityTest, TrainerCardsAreSaidByName)
{
    TForm1 form;
    form.show();
    const QString advice = QStringLiteral("Best hold: AS TH JC 2D, worth 0.4685 \u00d7 bet");
    const QString spoken = QStringLiteral(
        "Best hold: Ace of Spades, 10 of Hearts, Jack of Clubs, 2 of Diamonds, worth 0.4685 \u00d7 bet");
    form.EStatusBar1->showMessage(advice, 0);
    EXPECT_EQ(form.EStatusBar1->message(), advice); // what a sighted player reads is unchanged
    EXPECT_EQ(nameOf(form.EStatusBar1), spoken);
    form.accessibility().sayAdvice(advice);
    QCoreApplication::processEvents();
    const QList<Announcer *> announcers = form.findChildren<Announcer *>();
    ASSERT_EQ(announcers.size(), 1);
    EXPECT_EQ(nameOf(announcers.front()->notice()), spoken);
    // Only codes that stand alone are cards: a file's name is left as it is.
    EXPECT_EQ(SpokenCards(QStringLiteral("AD.JPG shown; hold KS.")),
              QStringLiteral("AD.JPG shown; hold King of Spades."));
}

} // namespace
} // namespace brisvale
