#pragma once

#include <QLabel>

namespace brisvale {

class TThumbForm;

// The previewer's waste bin: takes pictures dragged from the window's file list.
class WasteBin : public QLabel {
public:
    explicit WasteBin(TThumbForm *form);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void accept(QDragMoveEvent *event);
    TThumbForm *form_;
};

} // namespace brisvale
