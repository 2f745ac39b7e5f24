#pragma once

#include "odds/PayTableStats.h"

#include <QDialog>
#include <cstdint>
#include <optional>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace brisvale {

// "Numbers behind the pay table": how often each final hand comes under best
// play, the return, its variance and the hit frequency, and the chance of
// losing a bankroll within a number of hands, for the payouts being edited.
class PayTableNumbers : public QDialog {
public:
    explicit PayTableNumbers(QWidget *parent = nullptr);

    // The payouts and their numbers (null while they are being worked out).
    void showNumbers(const PayoutTable &payouts, const std::optional<PayTableStats> &stats);

    QLabel *Summary = nullptr;
    QTableWidget *Finals = nullptr;
    QSpinBox *Bankroll = nullptr;
    QSpinBox *Hands = nullptr;
    QLabel *Risk = nullptr;
    QPushButton *CloseBtn = nullptr;

private:
    void updateRisk();

    PayoutTable payouts_;
    std::optional<PayTableStats> stats_;
    // Each risk asked for gets a number; only the latest answer is shown.
    std::uint64_t riskNumber_ = 0;
};

// "Variance 19.51, hit frequency 45.46%": the payouts dialog's line.
QString PayTableStatsText(const PayTableStats &stats);

} // namespace brisvale
