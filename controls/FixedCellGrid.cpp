#include "controls/FixedCellGrid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

namespace brisvale {

FixedCellGrid::FixedCellGrid(int rows, int columns, QWidget *parent)
    : QTableWidget(rows, columns, parent), fixed_(new QTableView(this))
{
    fixed_->setObjectName(QStringLiteral("FixedColumn"));
    fixed_->setModel(model());
    fixed_->setFocusPolicy(Qt::NoFocus);
    fixed_->setFrameShape(QFrame::NoFrame);
    fixed_->horizontalHeader()->hide();
    fixed_->verticalHeader()->hide();
    fixed_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fixed_->setSelectionMode(QAbstractItemView::NoSelection);
    fixed_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int col = 1; col < columns; ++col)
        fixed_->setColumnHidden(col, true);
    viewport()->stackUnder(fixed_);

    // The fixed column follows the grid's own sizes and vertical position.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        if (col == 0) {
            fixed_->setColumnWidth(0, size);
            placeFixedColumn();
        }
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int row, int, int size) { fixed_->setRowHeight(row, size); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, fixed_->verticalScrollBar(), &QScrollBar::setValue);
    connect(fixed_->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    fixed_->show();
    placeFixedColumn();
}

void FixedCellGrid::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    placeFixedColumn();
}

void FixedCellGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // The fixed column is always in view; scrolling to it would only hide
    // the cells beside it.
    if (index.column() > 0)
        QTableWidget::scrollTo(index, hint);
}

void FixedCellGrid::placeFixedColumn()
{
    const QRect area = viewport()->geometry();
    fixed_->setGeometry(area.left(), area.top(), std::min(columnWidth(0), area.width()), area.height());
}

} // namespace brisvale
