#include "thumbs/ThumbsView.h"

#include "imaging/ScreenColours.h"
#include "thumbs/FileListBox.h"
#include "thumbs/PreviewStore.h"
#include "thumbs/TThumbForm.h"
#include "thumbs/ThumbGridModel.h"

#include <QDragMoveEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <cmath>

namespace brisvale {

namespace {

// Captions as ordinary cell text; image cells from the thumbnail cache.
class ThumbsDelegate : public QStyledItemDelegate {
public:
    explicit ThumbsDelegate(TThumbForm *form) : QStyledItemDelegate(form), form_(form) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (ThumbGridModel::isImageRow(index.row())) {
            drawPreview(*painter, option.rect, index.column(), index.row());
            return;
        }
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, plain, index);
    }

private:
    void drawPreview(QPainter &painter, const QRect &rect, int column, int row) const
    {
        if (form_->isBusy())
            return;
        const QString caption = form_->grid().caption({column, row + 1});
        const int index = caption.isEmpty() ? -1 : form_->store().ImageIndexOf(caption);
        if (index < 0)
            return;
        // Previews are kept in sRGB; a screen with a profile of its own is
        // painted in its colours, as the picture window is.
        QImage image = form_->store().image(index);
        ConvertColours(image, nullptr, codec::ColourTarget::Screen);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // Drawn at the cell's corner, grown with the window's scale.
        const double f = form_->scale();
        painter.drawImage(
            QRect(rect.topLeft(), QSize(int(std::lround(image.width() * f)), int(std::lround(image.height() * f)))),
            image);
    }

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
