#pragma once

#include <QRect>
#include <QSize>
#include <QString>

namespace brisvale {

// The box a picture is drawn into when it is scaled to fit with its aspect
// ratio kept: full height for a picture at least as tall as wide, else full
// width; centred; rounded half to even. A picture with a side of 0 fills the
// client.
QRect ratioBox(QSize client, QSize picture);

// Where a picture drawn at its own size starts when centred (truncated toward
// zero, so a picture larger than the client moves up and left).
QPoint centreOffset(QSize client, QSize picture);

// The kind of a file as the image controls see it: the extension with its dot,
// upper-cased (a to z only) and cut to four characters (".JPE" for ".jpeg").
QString viewExtension(const QString &path);

// Zooming moves an inset in steps of 10 pixels from each edge.
struct ZoomState {
    int inset = 0;
    QRect rect; // in picture pixels
    bool zoomed = false;

    // False when the picture is already as close as it goes.
    bool zoomIn(QSize picture);
    bool zoomOut(QSize picture);

private:
    void setRect(QSize picture);
};

} // namespace brisvale
