#pragma once

#include <QObject>

class QAbstractButton;
class QWidget;

namespace brisvale {

class Announcer;
class TForm1;
struct Settlement;

// Names and describes the table's controls for assistive technology, and
// keeps what it is told about the holds in step with the game: each card
// and its hold panel read as held exactly while the panel shows "Hold".
// It also lets a button other than Deal and Draw that was reached by Tab take
// Space and Enter, which the table otherwise reads as Deal or Draw, so every
// button can be pressed from the keyboard. A button that took the focus from
// a click leaves the keys to the table, so a mouse player's Space still deals.
class TableAccessibility : public QObject {
    Q_OBJECT
public:
    explicit TableAccessibility(TForm1 &form);

    // Call whenever a hold mark may have changed.
    void showHolds();

    // What a sighted player reads on the table as it changes, told to the
    // screen reader as it happens, wherever the focus is.
    void sayDealt();
    void sayHold(int slot);
    void sayDrawn(const Settlement &settlement);
    void sayStatistics();
    // The trainer's line, after the news of the hand it belongs to.
    void sayAdvice(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void nameByLabel(QWidget *field, const char *labelText);
    void pressableByKeys(QAbstractButton *button);

    QString cardNames() const;

    TForm1 &form_;
    Announcer *announcer_;
    // The watched button the player tabbed to, while it keeps the focus.
    QAbstractButton *tabbedTo_ = nullptr;
};

} // namespace brisvale
