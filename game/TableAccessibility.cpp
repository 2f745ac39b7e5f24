#include "game/TableAccessibility.h"

#include "controls/Announcer.h"
#include "controls/Cards.h"
#include "controls/ClickPanel.h"
#include "controls/FixedCellGrid.h"
#include "controls/SpinEdit.h"
#include "controls/TCardDeck.h"
#include "game/HandEvaluation.h"
#include "game/Settlement.h"
#include "game/TForm1.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

namespace brisvale {

TableAccessibility::TableAccessibility(TForm1 &form) : form_(form), announcer_(new Announcer(&form))
{
    nameByLabel(form.Bet, "Bet");
    nameByLabel(form.Panel5, "Total");
    nameByLabel(form.SpinEdit1, "Sleep time before Picture");
    form.SpinEdit1->setAccessibleDescription(QStringLiteral("Seconds before a reward picture opens"));

    form.Shuffle->setAccessibleDescription(QStringLiteral("Deals five cards; Enter or Space"));
    form.Second->setAccessibleDescription(QStringLiteral("Draws new cards for those not held; Enter or Space"));
    form.Cash->setAccessibleDescription(QStringLiteral("Money"));
    form.Panel4->setAccessibleDescription(QStringLiteral("Statistics"));
    form.Panel2->setAccessibleDescription(QStringLiteral("Result"));
    form.SpeedButton5->setAccessibleDescription(QStringLiteral("Shows the statistics in the money lines"));
    form.Image1->setAccessibleName(QStringLiteral("Winning hand"));

    for (int k = 0; k < 5; ++k) {
        const QString number = QString::number(k + 1);
        form.CardDeck[k]->setAccessibleDescription(QStringLiteral("Card %1, hold key %1").arg(number));
        form.HoldPanel[k]->setCheckable(true);
        form.HoldPanel[k]->setAccessibleName(QStringLiteral("Hold card ") + number);
    }

    // The grid's own headers stay hidden; they give each count its hand.
    FixedCellGrid *grid = form.StringGrid1;
    grid->setAccessibleName(QStringLiteral("Hands played"));
    QStringList ranks;
    for (int col = 0; col < grid->columnCount(); ++col)
        ranks << HandGridName(col);
    grid->setHorizontalHeaderLabels(ranks);
    grid->setVerticalHeaderLabels({QStringLiteral("Hand"), QStringLiteral("Count")});
    grid->fixedColumn()->setAccessibleName(QStringLiteral("Hands played, first column"));
    // Tab leaves the grid instead of walking its cells for ever; the arrows
    // move between them.
    grid->setTabKeyNavigation(false);

    form.RadioButton1->parentWidget()->setAccessibleName(QStringLiteral("Sound"));
    form.RadioButton3->parentWidget()->setAccessibleName(QStringLiteral("Picture"));
    for (QAbstractButton *button :
         std::initializer_list<QAbstractButton *>{form.SpeedButton5, form.Button2, form.RadioButton1, form.RadioButton2,
                                                  form.RadioButton3, form.RadioButton4})
        pressableByKeys(button);
    // Walking the menu bar from the keyboard (after Alt), Enter chooses the
    // item instead of dealing.
    form.menuBar()->installEventFilter(this);
    showHolds();
}

void TableAccessibility::pressableByKeys(QAbstractButton *button) { button->installEventFilter(this); }

bool TableAccessibility::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == form_.menuBar()) {
        if (event->type() == QEvent::ShortcutOverride && form_.menuBar()->hasFocus()) {
            // Left with the focus but no longer open, the bar hands the
            // keys back to the table.
            if (!form_.menuBar()->activeAction()) {
                (form_.Second->isVisibleTo(&form_) ? form_.Second : form_.Shuffle)->setFocus(Qt::OtherFocusReason);
                return false;
            }
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                event->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
    auto *button = static_cast<QAbstractButton *>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // The focus that leaves with the window (the picture window opens
        // over it, a menu pops up) comes back as it left.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            break;
        const bool byKeys = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
        if (event->type() == QEvent::FocusIn)
            tabbedTo_ = byKeys ? button : nullptr;
        else if (tabbedTo_ == button)
            tabbedTo_ = nullptr;
        break;
    }
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool plain = !(key->modifiers() & ~Qt::KeypadModifier);
        if (tabbedTo_ != button || !plain || (!enter && key->key() != Qt::Key_Space))
            break;
        if (event->type() == QEvent::ShortcutOverride) {
            // Taken here, the key reaches the button instead of the table's keys.
            event->accept();
            return true;
        }
        // The button itself presses on Space; Enter presses it here.
        if (enter && !key->isAutoRepeat()) {
            button->click();
            return true;
        }
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void TableAccessibility::nameByLabel(QWidget *field, const char *labelText)
{
    // The labels beside the fields are plain texts of the table; as their
    // buddies the fields are named by them and point back to them.
    const auto labels = field->parentWidget()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
    for (QLabel *label : labels) {
        if (label->text() == QLatin1String(labelText)) {
            label->setBuddy(field);
            return;
        }
    }
    field->setAccessibleName(QLatin1String(labelText));
}

void TableAccessibility::showHolds()
{
    for (int k = 0; k < 5; ++k) {
        const bool held = form_.game().mark(k) == HoldMark::Hold;
        form_.CardDeck[k]->setHeld(held);
        form_.HoldPanel[k]->setChecked(held);
    }
}

QString TableAccessibility::cardNames() const
{
    QStringList names;
    for (int k = 0; k < 5; ++k)
        names << CardDisplayName(form_.game().hand()[k]);
    return names.join(QStringLiteral(", "));
}

void TableAccessibility::sayDealt() { announcer_->say(cardNames()); }

void TableAccessibility::sayHold(int slot)
{
    const bool held = form_.game().mark(slot) == HoldMark::Hold;
    announcer_->say(CardDisplayName(form_.CardDeck[slot]->Value())
                    + (held ? QStringLiteral(", held") : QStringLiteral(", released")));
}

void TableAccessibility::sayDrawn(const Settlement &settlement)
{
    announcer_->say(cardNames());
    announcer_->say(settlement.resultText);
    announcer_->say(settlement.moneyText);
}

void TableAccessibility::sayStatistics()
{
    announcer_->say(form_.Cash->text());
    announcer_->say(form_.Panel4->text());
}

void TableAccessibility::sayAdvice(const QString &text) { announcer_->sayAfter(text); }

} // namespace brisvale
