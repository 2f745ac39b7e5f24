#include "thumbs/ThumbsView.h"

#include "thumbs/FileListBox.h"
#include "thumbs/TThumbForm.h"
#include "thumbs/ThumbGridModel.h"

#include <QDragMoveEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace brisvale {

namespace {

// Captions as ordinary cell text; image cells from the thumbnail cache.
class ThumbsDelegate : public QStyledItemDelegate {
public:
    explicit ThumbsDelegate(TThumbForm *form) : QStyledItemDelegate(form), form_(form) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (ThumbGridModel::isImageRow(index.row())) {
            form_->ThumbsDrawCell(*painter, option.rect, index.column(), index.row());
            return;
        }
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, plain, index);
    }

private:
    TThumbForm *form_;
};

} // namespace

ThumbsView::ThumbsView(TThumbForm *form) : QTableView(form), form_(form)
{
    setMouseTracking(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setItemDelegate(new ThumbsDelegate(form));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(1);
    setShowGrid(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The arrows walk the previews; Tab goes on to the window's buttons.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    QFont captionFont(QStringLiteral("Arial"));
    captionFont.setPixelSize(9);
    setFont(captionFont);
}

void ThumbsView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        form_->StopClick();
    if (!form_->isBusy())
        QTableView::mousePressEvent(event);
    form_->ThumbsMouseDown(event->button(), event->position().toPoint());
}

void ThumbsView::mouseMoveEvent(QMouseEvent *event)
{
    form_->ThumbsMouseMove(event->position().toPoint());
    QTableView::mouseMoveEvent(event);
}

void ThumbsView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        form_->ThumbsDblClick(event->position().toPoint());
}

void ThumbsView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Delete) {
        form_->ThumbsKeyDown(event->key());
        return;
    }
    if (!form_->isBusy())
        QTableView::keyPressEvent(event);
}

QModelIndex ThumbsView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // The keys go from preview to preview: a caption below its picture is the
    // same preview, and a screen reader would say its name a second time.
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (!next.isValid() || ThumbGridModel::isImageRow(next.row()))
        return next;
    const bool down = next.row() > currentIndex().row();
    const int row = down && next.row() + 1 < model()->rowCount() ? next.row() + 1 : next.row() - 1;
    return model()->index(row, next.column());
}

void ThumbsView::dragEnterEvent(QDragEnterEvent *event)
{
    // Entering is always allowed so the moves that follow can decide per cell.
    if (form_->FileListBox1->isSourceOf(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ThumbsView::dragMoveEvent(QDragMoveEvent *event)
{
    if (form_->ThumbsDragOver(event->position().toPoint(), event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ThumbsView::dropEvent(QDropEvent *event)
{
    if (!form_->ThumbsDragOver(event->position().toPoint(), event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    form_->ThumbsDragDrop(event->position().toPoint(), event->mimeData());
}

} // namespace brisvale
