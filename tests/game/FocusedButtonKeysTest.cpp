#include "game/TForm1.h"

#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace brisvale {
namespace {

// Space and Enter play the hand from anywhere on the table, except on a
// button the player tabbed to: that button is pressed, as a player who
// reached it by the keyboard expects.
TEST(TableAccessibilityTest, FocusedButtonsTakeSpaceAndEnter)
{
    TForm1 form;
    int picturesShown = 0;
    form.setPictureWindow([&picturesShown] { ++picturesShown; });
    // No reward picture after a win: only the button shows one here.
    form.RadioButton4->setChecked(true);
    // The table hides while the picture shows; a desktop activates it again.
    const auto back = [&form] { QApplication::setActiveWindow(&form); };
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    form.Button2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.Button2, Qt::Key_Space);
    EXPECT_EQ(picturesShown, 1);
    back();
    // Back from the picture the button still takes the keys.
    QTest::keyClick(form.Button2, Qt::Key_Return);
    EXPECT_EQ(picturesShown, 2);
    back();
    form.RadioButton2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.RadioButton2, Qt::Key_Space);
    EXPECT_TRUE(form.RadioButton2->isChecked());
    EXPECT_TRUE(form.Shuffle->isVisible()) << "a key meant for a button dealt the hand";

    // Walking the menu bar (Alt gives it the focus), Enter is the menu's.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt);
    ASSERT_TRUE(form.menuBar()->hasFocus());
    ASSERT_NE(form.menuBar()->activeAction(), nullptr);
    QTest::keyClick(form.menuBar(), Qt::Key_Return);
    EXPECT_TRUE(form.Shuffle->isVisible()) << "Enter in the menu bar dealt the hand";
    // Escape leaves the menu, and then the bar, as a player would.
    if (QWidget *menu = QApplication::activePopupWidget())
        QTest::keyClick(menu, Qt::Key_Escape);
    QTest::keyClick(form.menuBar(), Qt::Key_Escape);
    EXPECT_TRUE(form.Shuffle->isVisible());

    // A button that took the focus from a click leaves the keys to the table.
    form.Button2->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(form.Button2, Qt::Key_Space);
    EXPECT_EQ(picturesShown, 2);
    EXPECT_TRUE(form.Second->isVisible());
    QTest::keyClick(form.Button2, Qt::Key_Return);
    EXPECT_TRUE(form.Shuffle->isVisible());

    // Elsewhere the keys still deal.
    form.Shuffle->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.Shuffle, Qt::Key_Return);
    EXPECT_TRUE(form.Second->isVisible());
}

} // namespace
} // namespace brisvale
