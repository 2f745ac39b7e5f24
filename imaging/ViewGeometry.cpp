#include "imaging/ViewGeometry.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cmath>

namespace brisvale {

namespace {
int roundHalfEven(double v)
{
    return int(std::nearbyint(v)); // the default rounding mode rounds halves to even
}
} // namespace

QRect ratioBox(QSize client, QSize picture)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return QRect(QPoint(0, 0), client);
    if (picture.height() >= picture.width()) {
        const double scale = double(client.height()) / picture.height();
        // A picture far taller than wide still shows as a column of one pixel.
        const int width = std::max(std::min(1, client.width()), roundHalfEven(picture.width() * scale));
        const int left = roundHalfEven((client.width() - picture.width() * scale) / 2);
        return QRect(left, 0, width, client.height());
    }
    const double scale = double(client.width()) / picture.width();
    const int height = std::max(std::min(1, client.height()), roundHalfEven(picture.height() * scale));
    const int top = roundHalfEven((client.height() - picture.height() * scale) / 2);
    return QRect(0, top, client.width(), height);
}

QPoint centreOffset(QSize client, QSize picture)
{
    return {(client.width() - picture.width()) / 2, (client.height() - picture.height()) / 2};
}

QString viewExtension(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return QString();
    return platform::fs::upperAscii(name.mid(dot).left(4));
}

void ZoomState::setRect(QSize picture)
{
    // Left, top, right and bottom edges; right and bottom are exclusive.
    rect = QRect(inset, inset, picture.width() - 2 * inset, picture.height() - 2 * inset);
    zoomed = true;
}

bool ZoomState::zoomIn(QSize picture)
{
    // Either side used up ends it: a wide picture's height would otherwise
    // shrink to a strip stretched across the whole box.
    const auto usedUp = [this](int side) { return side - 2 * inset < inset || side - 2 * (inset + 10) < 1; };
    if (usedUp(picture.width()) || usedUp(picture.height()))
        return false;
    inset += 10;
    setRect(picture);
    return true;
}

bool ZoomState::zoomOut(QSize picture)
{
    if (inset < 0)
        return false;
    inset -= 10;
    setRect(picture);
    return true;
}

} // namespace brisvale
