#pragma once

#include <QTableWidget>

class QTableView;

namespace brisvale {

// A string grid whose first column is fixed: it stays at the left edge while
// the other columns scroll sideways under it. (The first row is fixed by
// having no vertical scrolling: every row is always in view.)
class FixedCellGrid : public QTableWidget {
    Q_OBJECT
public:
    FixedCellGrid(int rows, int columns, QWidget *parent = nullptr);

    // The view that shows the fixed column over the scrolling cells.
    QTableView *fixedColumn() const { return fixed_; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void scrollTo(const QModelIndex &index, ScrollHint hint) override;

private:
    void placeFixedColumn();

    QTableView *fixed_;
};

} // namespace brisvale
