#pragma once

#include <QObject>

class QKeySequence;

namespace brisvale {

class TableTrainer;
class TForm1;

// The table's keyboard. 1 to 5 switch the hold panels of a dealt hand, Enter
// and Space press Deal or Draw, H asks for the best hold, A opens the analysis of every hold. The focus rests on
// the play button at start and after every hand, so a digit is a hold key and
// never part of the bet unless the player went into the bet field; and when
// a dialog closes the table gets the keyboard back, even where no window
// manager would hand it back.
class TableKeys : public QObject {
public:
    TableKeys(TForm1 &table, TableTrainer &trainer);
    ~TableKeys() override;

    // Puts the focus on the play button the player can press now.
    void focusPlayButton();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bind(const QKeySequence &key, void (TableKeys::*handler)(int), int argument = 0);
    void holdKey(int slot);
    void playKey(int);
    void bestHoldKey(int);
    void analysisKey(int);
    void takeBackFocus();

    TForm1 &table_;
    TableTrainer &trainer_;
};

} // namespace brisvale
