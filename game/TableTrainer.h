#pragma once

#include "odds/HoldOdds.h"

#include <QObject>
#include <QString>

namespace brisvale {

class HoldTrainer;
class TForm1;

// The hold trainer at the table: H sets the hold panels to a best hold of the
// dealt hand, and after the draw the status bar tells what a weaker hold
// cost.
class TableTrainer : public QObject {
public:
    explicit TableTrainer(TForm1 &table);

    // A new hand is dealt: what was shown goes, and its analysis starts.
    void dealt();
    void bestHold();
    // The hand is about to be drawn with this hold.
    void drawing(HoldMask played);
    // Before a draw on a hold worse than the best: asks whether to draw
    // anyway, saying what the hold costs and what the chart says; false
    // when the player goes back to change the hold.
    bool confirmDraw(HoldMask played);

private:
    void showText(const QString &text);
    void showNoAnswer();
    void refresh();

    TForm1 &table_;
    HoldTrainer *trainer_;
    QString text_;
    bool shown_ = false;
    // Counts the deals, so that an answer that comes after the next deal is dropped.
    std::uint64_t deal_ = 0;
};

} // namespace brisvale
