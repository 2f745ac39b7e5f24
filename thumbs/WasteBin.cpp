#include "thumbs/WasteBin.h"

#include "thumbs/ButtonArt.h"
#include "thumbs/TThumbForm.h"

#include <QDragMoveEvent>

namespace brisvale {

WasteBin::WasteBin(TThumbForm *form) : QLabel(form), form_(form)
{
    setAcceptDrops(true);
    setAlignment(Qt::AlignCenter);
}

void WasteBin::resizeEvent(QResizeEvent *event)
{
    setPixmap(buttonart::wasteBin(size()));
    QLabel::resizeEvent(event);
}

void WasteBin::dragEnterEvent(QDragEnterEvent *event) { accept(event); }

void WasteBin::dragMoveEvent(QDragMoveEvent *event) { accept(event); }

void WasteBin::dropEvent(QDropEvent *event)
{
    if (!form_->Image1DragOver(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    form_->Image1DragDrop(event->mimeData());
}

void WasteBin::accept(QDragMoveEvent *event)
{
    if (form_->Image1DragOver(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

} // namespace brisvale
