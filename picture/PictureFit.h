#pragma once

#include <QRect>
#include <QSize>

namespace brisvale {

// Where the picture window puts a picture inside the area under its menu: at
// its own size when it fits, else scaled down with its proportions kept;
// centred either way. An empty picture (nothing, or a scrolling message) gets
// the whole area.
QRect fittedPictureBox(QSize area, QSize picture);

} // namespace brisvale
