#include "controls/ClickPanel.h"
#include "controls/TCardDeck.h"
#include "controls/TEStatusBar.h"
#include "imaging/TImageView.h"
#include "platform/DialogService.h"
#include "platform/HelpService.h"
#include "platform/QtDialogService.h"
#include "tests/support/AccessibleEvents.h"
#include "thumbs/DirectoryListBox.h"
#include "thumbs/FilterComboBox.h"

#include <QAccessibleActionInterface>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace brisvale {
namespace {

using test::AccessibleEvents;
using test::accessibleOf;

constexpr cdCardDeck kQueenOfSpades = 12;

QString nameOf(QObject *object) { return accessibleOf(object)->text(QAccessible::Name); }

TEST(AccessibleControlsTest, CardIsNamedByItsFaceAndReadsItsHold)
{
    AccessibleEvents events;
    ASSERT_TRUE(events.active()) << "Qt's bridge to the accessibility bus did not come up";
    TCardDeck card;
    card.setValue(kExtraCardBack);
    QAccessibleInterface *a = accessibleOf(&card);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::CheckBox);
    EXPECT_EQ(nameOf(&card), QStringLiteral("Card back"));
    EXPECT_TRUE(a->state().checkable);
    EXPECT_FALSE(a->state().checked);

    events.clear();
    card.setValue(kQueenOfSpades);
    EXPECT_EQ(nameOf(&card), QStringLiteral("Queen of Spades"));
    EXPECT_EQ(events.count(&card, QAccessible::NameChanged), 1);

    card.setHeld(true);
    EXPECT_EQ(nameOf(&card), QStringLiteral("Queen of Spades, held"));
    EXPECT_TRUE(a->state().checked);
    EXPECT_TRUE(a->state().pressed);
    EXPECT_TRUE(events.checkedChanged(&card));
    EXPECT_EQ(events.count(&card, QAccessible::NameChanged), 2);

    // Nothing changed, nothing told.
    events.clear();
    card.setHeld(true);
    card.setValue(kQueenOfSpades);
    EXPECT_EQ(events.count(&card, QAccessible::NameChanged), 0);
    EXPECT_EQ(events.count(&card, QAccessible::StateChanged), 0);

    card.setHeld(false);
    EXPECT_EQ(nameOf(&card), QStringLiteral("Queen of Spades"));
    EXPECT_FALSE(a->state().checked);

    // Pressing it through assistive technology is a click on the card.
    QSignalSpy clicks(&card, &TCardDeck::clicked);
    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(AccessibleControlsTest, PanelIsATextOrASwitch)
{
    AccessibleEvents events;
    ASSERT_TRUE(events.active()) << "Qt's bridge to the accessibility bus did not come up";
    ClickPanel result;
    result.setText(QStringLiteral(" Two Pair "));
    EXPECT_EQ(accessibleOf(&result)->role(), QAccessible::StaticText);
    EXPECT_EQ(nameOf(&result), QStringLiteral("Two Pair"));
    EXPECT_GE(events.count(&result, QAccessible::NameChanged), 1);

    ClickPanel hold;
    hold.setCheckable(true);
    hold.setAccessibleName(QStringLiteral("Hold card 2"));
    hold.setText(QStringLiteral("Draw"));
    QAccessibleInterface *a = accessibleOf(&hold);
    EXPECT_EQ(a->role(), QAccessible::CheckBox);
    EXPECT_EQ(nameOf(&hold), QStringLiteral("Hold card 2"));
    EXPECT_EQ(a->text(QAccessible::Description), QStringLiteral("Draw"));
    EXPECT_FALSE(a->state().checked);
    hold.setChecked(true);
    EXPECT_TRUE(a->state().checked);
    EXPECT_TRUE(events.checkedChanged(&hold));

    QSignalSpy clicks(&hold, &ClickPanel::clicked);
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 1);
    // A disabled panel ("Over") cannot be pressed, as it cannot be clicked.
    hold.setEnabled(false);
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(AccessibleControlsTest, StatusBarReadsAndAnnouncesItsMessages)
{
    AccessibleEvents events;
    ASSERT_TRUE(events.active()) << "Qt's bridge to the accessibility bus did not come up";
    TEStatusBar bar;
    bar.setCaption(QStringLiteral("Brisvale for Windows 95"));
    EXPECT_EQ(accessibleOf(&bar)->role(), QAccessible::StatusBar);
    EXPECT_EQ(nameOf(&bar), QStringLiteral("Brisvale for Windows 95"));

    events.clear();
    bar.showMessage(QStringLiteral("Holding 2 and 5 would have paid more"), 0);
    EXPECT_EQ(nameOf(&bar), QStringLiteral("Holding 2 and 5 would have paid more"));
    EXPECT_EQ(events.count(&bar, QAccessible::NameChanged), 1);
    bar.clearMessage();
    EXPECT_EQ(nameOf(&bar), QStringLiteral("Brisvale for Windows 95"));
    EXPECT_EQ(events.count(&bar, QAccessible::NameChanged), 2);
}

TEST(AccessibleControlsTest, PictureIsNamedByItsFile)
{
    AccessibleEvents events;
    ASSERT_TRUE(events.active()) << "Qt's bridge to the accessibility bus did not come up";
    TImageView view;
    EXPECT_EQ(accessibleOf(&view)->role(), QAccessible::Graphic);
    view.setImageName(QStringLiteral("/no/such/folder/Sunset.JPG"));
    EXPECT_EQ(nameOf(&view), QStringLiteral("Sunset.JPG"));
    EXPECT_EQ(events.count(&view, QAccessible::NameChanged), 1);
}

// The help is read as a text a reader goes through line by line, with a
// caret the arrow keys move, not as one label.
// The program's own question box shows its words as they are and gives a
// screen reader the words it was handed to say instead.
TEST(AccessibleControlsTest, QuestionIsReadInItsSpokenWords)
{
    platform::QtDialogService real;
    platform::setDialogService(&real);
    const QString shown = QStringLiteral("Holding KC costs 0.1978 \u00d7 bet.\nDraw anyway?");
    const QString spoken = QStringLiteral("Holding King of Clubs costs 0.1978 \u00d7 bet.\nDraw anyway?");
    QString seen;
    QString read;
    QTimer::singleShot(0, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box)
            return;
        if (auto *text = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
            seen = text->text();
            read = nameOf(text);
        }
        box->close();
    });
    EXPECT_FALSE(platform::dialogs().confirmSaying(shown, spoken));
    platform::setDialogService(nullptr);
    EXPECT_EQ(seen, shown);
    EXPECT_EQ(read, spoken);
}

// A folder list that takes the focus leaves a screen reader on the folder
// shown highlighted, not on the bare list.
TEST(AccessibleControlsTest, FolderListTellsItsCurrentFolderWhenFocused)
{
    AccessibleEvents events;
    ASSERT_TRUE(events.active()) << "Qt's bridge to the accessibility bus did not come up";
    const QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("pics/old")));
    QWidget window;
    auto *before = new QPushButton(QStringLiteral("before"), &window);
    auto *folders = new DirectoryListBox(&window);
    folders->move(0, 40);
    ASSERT_TRUE(folders->setDirectory(root.filePath(QStringLiteral("pics"))));
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    before->setFocus();
    events.clear();
    folders->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.focusedChild(folders) >= 0; }, 2000));
    QAccessibleInterface *entry = accessibleOf(folders)->child(events.focusedChild(folders));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(QAccessible::Name).trimmed(), QStringLiteral("pics"));
}

// A list that picks one of several is read by the choice it shows, and a new
// choice made by the arrows is told as new text, selected, which the
// desktop's screen reader speaks.
TEST(AccessibleControlsTest, ChoiceListIsReadByItsChoice)
{
    AccessibleEvents events;
    ASSERT_TRUE(events.active()) << "Qt's bridge to the accessibility bus did not come up";
    FilterComboBox types;
    types.setFilter(QStringLiteral("All Pixs|*.BMP;*.GIF|BMP|*.BMP|GIF|*.GIF"));
    QAccessibleTextInterface *text = accessibleOf(&types)->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(accessibleOf(&types)->role(), QAccessible::ComboBox);
    EXPECT_EQ(text->text(0, text->characterCount()), QStringLiteral("All Pixs"));
    EXPECT_EQ(accessibleOf(&types)->text(QAccessible::Value), QStringLiteral("All Pixs"));

    events.clear();
    types.setCurrentIndex(2);
    EXPECT_EQ(events.count(&types, QAccessible::TextInserted), 1);
    EXPECT_EQ(events.count(&types, QAccessible::TextRemoved), 0) << "a reader would say the selection was deleted";
    EXPECT_EQ(text->text(0, text->characterCount()), QStringLiteral("GIF"));
    ASSERT_EQ(text->selectionCount(), 1);
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 3);
}

TEST(AccessibleControlsTest, HelpIsATextReadLineByLine)
{
    QWidget *help = platform::HelpService::showContext(1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    QApplication::setActiveWindow(help);
    QAccessibleInterface *document = accessibleOf(help);
    EXPECT_EQ(document->role(), QAccessible::EditableText);
    EXPECT_TRUE(document->state().readOnly);
    EXPECT_TRUE(document->state().focusable);
    QAccessibleTextInterface *text = document->textInterface();
    ASSERT_NE(text, nullptr);
    int start = 0;
    int end = 0;
    const QString first = text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end);
    EXPECT_FALSE(first.trimmed().isEmpty());
    QTest::keyClick(help, Qt::Key_Down);
    const QString second = text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end);
    EXPECT_GE(text->cursorPosition(), end - second.size());
    EXPECT_NE(second, first);
    help->close();
}

} // namespace
} // namespace brisvale
