#pragma once

#include <QIcon>

class QToolButton;
class QWidget;

namespace brisvale::buttonart {

// The previewer's button pictures, drawn here rather than taken from an icon
// set, so they look the same everywhere and scale with the window.
QIcon camera();
QIcon movieCamera();
QIcon landscape();
QIcon blackCross();
QIcon windowWithCross();
// A closed door, and an open one for the pressed state.
QIcon door();
QIcon stopSign();
QPixmap wasteBin(const QSize &size);

// A speed button of the previewer: a named tool button with a picture and a hint.
QToolButton *speedButton(QWidget *parent, const char *name, const QIcon &icon, const QString &hint);

} // namespace brisvale::buttonart
