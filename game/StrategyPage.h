#pragma once

#include "odds/HoldTable.h"
#include "odds/StrategyChart.h"

#include <QWidget>
#include <optional>

class QLabel;
class QTableWidget;

namespace brisvale {

// The "Strategy" page of the hold analysis: the strategy chart of the table's
// payouts, with what following it returns beside best play, and the line
// that applies to the hand in the window marked.
class StrategyPage : public QWidget {
public:
    explicit StrategyPage(QWidget *parent = nullptr);

    // The chart to show (null while it is being made, or when the payouts
    // cannot be valued) and the hand in the window, if any.
    void showChart(const StrategyChart *chart, bool making, const std::optional<HoldTable> &holds);
    // The line marked for the hand, or 0.
    int markedLine() const { return marked_; }

    QLabel *ChartHeading = nullptr;
    QTableWidget *ChartLines = nullptr;

private:
    int marked_ = 0;
};

} // namespace brisvale
