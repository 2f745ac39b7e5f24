#pragma once

#include "game/Settlement.h"
#include "odds/HoldTable.h"
#include "odds/SessionLog.h"

#include <QDialog>
#include <deque>
#include <optional>

class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace brisvale {

class HoldTrainer;
class PokerGame;
class SessionChart;
class StrategyPage;

// "Hold Analysis": what every hold of the dealt hand is worth, best first,
// with the final hands a selected hold ends in, and a "Session" page with the
// log of the run's mistakes and a "Strategy" page with the chart of the
// payouts. The numbers come from the plain classes; this window only shows
// them.
class THoldAnalysis : public QDialog {
public:
    explicit THoldAnalysis(QWidget *parent = nullptr);
    ~THoldAnalysis() override;

    // Opens on the table's hand: the one dealt, or after the draw the hand
    // as it was dealt with the hold played.
    void openFor(const PokerGame &game);
    // A hand was dealt or drawn at the table: an open window follows it.
    void follow(const PokerGame &game);
    // The payouts or the bet of the table changed.
    void setPayouts(const PayoutTable &payouts);
    void setBet(int bet);
    // A finished hand for the log, with the table's total before and after
    // it; the window's hand after the draw.
    void handPlayed(const Hand &dealt, HoldMask played, int bet, const PayoutTable &payouts, HandTotals totals = {});

    const SessionLog &session() const { return session_; }
    const std::optional<HoldTable> &holds() const { return table_; }

    QTabWidget *Pages = nullptr;
    QLabel *DealtCards = nullptr;
    QLabel *Heading = nullptr;
    QTableWidget *HoldList = nullptr;
    QLabel *FinalsHeading = nullptr;
    QTableWidget *Finals = nullptr;
    StrategyPage *Strategy = nullptr;
    QLabel *Summary = nullptr;
    SessionChart *TotalChart = nullptr;
    SessionChart *CostChart = nullptr;
    QTableWidget *Mistakes = nullptr;
    QPushButton *SaveCsv = nullptr;

    void SaveCsvClick();
    // Shows the holds of a logged mistake (a row of the Session page) as it was played.
    void reopenMistake(int row);

private:
    struct Played {
        Hand dealt;
        HoldMask played;
        int bet;
        PayoutTable payouts;
        HandTotals totals;
    };

    void takeHand(const PokerGame &game);
    void analyse();
    void showHolds();
    void showFinals();
    void showSession();
    void showStrategy();
    void recordPending();

    HoldTrainer *trainer_ = nullptr;
    std::optional<Hand> hand_;
    std::optional<HoldMask> played_;
    // The bet of the hand shown when it was played already.
    std::optional<int> playedBet_;
    PayoutTable payouts_;
    int bet_ = 5;
    std::optional<HoldTable> table_;
    std::optional<Played> lastPlayed_;
    SessionLog session_;
    // Hands finished while the odds were still being set up, logged in order
    // once they are.
    std::deque<Played> pending_;
    bool settingUp_ = false;
    // The holds are being worked out while the odds are set up.
    bool working_ = false;
};

} // namespace brisvale
