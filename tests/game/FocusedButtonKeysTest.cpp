#include "game/TForm1.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace brisvale {
namespace {

// Space and Enter play the hand from anywhere on the table, except on a
// button that has the focus: that button is pressed, as a player who tabbed
// to it expects.
TEST(TableAccessibilityTest, FocusedButtonsTakeSpaceAndEnter)
{
    TForm1 form;
    int picturesShown = 0;
    form.setPictureWindow([&picturesShown] { ++picturesShown; });
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    form.Button2->setFocus();
    QTest::keyClick(form.Button2, Qt::Key_Space);
    EXPECT_EQ(picturesShown, 1);
    form.Button2->setFocus();
    QTest::keyClick(form.Button2, Qt::Key_Return);
    EXPECT_EQ(picturesShown, 2);
    form.RadioButton2->setFocus();
    QTest::keyClick(form.RadioButton2, Qt::Key_Space);
    EXPECT_TRUE(form.RadioButton2->isChecked());
    EXPECT_TRUE(form.Shuffle->isVisible()) << "a key meant for a button dealt the hand";

    // Elsewhere the keys still deal.
    form.Shuffle->setFocus();
    QTest::keyClick(form.Shuffle, Qt::Key_Return);
    EXPECT_TRUE(form.Second->isVisible());
}

} // namespace
} // namespace brisvale
