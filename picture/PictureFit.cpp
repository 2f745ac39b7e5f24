#include "picture/PictureFit.h"

#include <algorithm>
#include <cmath>

namespace brisvale {

QRect fittedPictureBox(QSize area, QSize picture)
{
    if (picture.width() <= 0 || picture.height() <= 0 || area.width() <= 0 || area.height() <= 0)
        return QRect(QPoint(0, 0), area.expandedTo(QSize(0, 0)));
    QSize size = picture;
    if (picture.width() > area.width() || picture.height() > area.height()) {
        const double scale = std::min(double(area.width()) / picture.width(), double(area.height()) / picture.height());
        // A sliver of a picture still gets a pixel, and rounding never pushes
        // past the area.
        size = QSize(std::clamp(int(std::lround(picture.width() * scale)), 1, area.width()),
                     std::clamp(int(std::lround(picture.height() * scale)), 1, area.height()));
    }
    return QRect(QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size);
}

} // namespace brisvale
