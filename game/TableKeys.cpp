#include "game/TableKeys.h"

#include "controls/ClickPanel.h"
#include "controls/SpinEdit.h"
#include "game/TForm1.h"
#include "game/THoldAnalysis.h"
#include "game/TableTrainer.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace brisvale {

TableKeys::TableKeys(TForm1 &table, TableTrainer &trainer) : QObject(&table), table_(table), trainer_(trainer)
{
    const Qt::Key holdKeys[5] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5};
    for (int k = 0; k < 5; ++k)
        bind(QKeySequence(holdKeys[k]), &TableKeys::holdKey, k);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
        bind(QKeySequence(key), &TableKeys::playKey);
    bind(QKeySequence(Qt::Key_H), &TableKeys::bestHoldKey);
    bind(QKeySequence(Qt::Key_A), &TableKeys::analysisKey);
    qApp->installEventFilter(this);
}

TableKeys::~TableKeys() { qApp->removeEventFilter(this); }

void TableKeys::bind(const QKeySequence &key, void (TableKeys::*handler)(int), int argument)
{
    // Window shortcuts: a field being typed into keeps its digits, and a
    // focused button does not take Space for itself.
    auto *shortcut = new QShortcut(key, &table_);
    shortcut->setAutoRepeat(false);
    connect(shortcut, &QShortcut::activated, this, [this, handler, argument] { (this->*handler)(argument); });
}

void TableKeys::focusPlayButton()
{
    for (QPushButton *button : {table_.Shuffle, table_.Second}) {
        if (button->isVisibleTo(&table_)) {
            button->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void TableKeys::holdKey(int slot)
{
    // Only while a hand is dealt: the keys stand for the hold panels, never
    // for the card slots that also toggle them before a deal and after a draw.
    if (table_.Second->isVisibleTo(&table_) && table_.HoldPanel[slot]->isEnabled())
        table_.HoldToggle(slot);
}

void TableKeys::playKey(int)
{
    // A bet typed just before counts, as it does when a click takes the focus
    // away from the field.
    if (!table_.Bet->isReadOnly())
        table_.Bet->interpretText();
    // The key presses whichever play button the player could click now.
    for (QPushButton *button : {table_.Shuffle, table_.Second}) {
        if (button->isVisibleTo(&table_) && button->isEnabled()) {
            button->click();
            return;
        }
    }
}

void TableKeys::bestHoldKey(int) { trainer_.bestHold(); }

void TableKeys::analysisKey(int)
{
    // A letter typed into a field the player is editing is that field's.
    const auto *field = qobject_cast<QAbstractSpinBox *>(table_.focusWidget());
    if (!field || field->isReadOnly())
        table_.HoldAnalysis1->openFor(table_.game());
}

bool TableKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        const auto *widget = static_cast<QWidget *>(watched);
        const Qt::WindowType type = widget->windowType();
        if (widget->isWindow() && widget != &table_ && type != Qt::Popup && type != Qt::ToolTip)
            QTimer::singleShot(0, this, &TableKeys::takeBackFocus);
    }
    return QObject::eventFilter(watched, event);
}

void TableKeys::takeBackFocus()
{
    // Not when the player went on to another window of ours. The table may
    // still count as active here while the server has the keyboard on the
    // root window, so it asks again in that case too.
    const QWidget *active = QApplication::activeWindow();
    if (active && active != &table_ && active->isVisible())
        return;
    // A window still waiting modally over the table comes first.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->activateWindow();
        return;
    }
    // A dialog chosen from the menus by keys gives the focus back to the menu
    // bar, no longer open, where Enter and Space would do nothing.
    if (table_.focusWidget() == table_.menuBar() && !table_.menuBar()->activeAction())
        focusPlayButton();
    if (table_.isVisible() && !table_.isMinimized())
        table_.activateWindow();
}

} // namespace brisvale
