#pragma once

#include <QTableView>

namespace brisvale {

class TThumbForm;

// The previewer's grid: hands its mouse, key and drag events to the window's
// handlers, shows captions as ordinary cell text and paints the image cells
// from the thumbnail cache in the screen's colours.
class ThumbsView : public QTableView {
public:
    explicit ThumbsView(TThumbForm *form);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    TThumbForm *form_;
};

} // namespace brisvale
