#include "imaging/WindowCapture.h"

#include "imaging/Bitmap.h"
#include "imaging/DisplayDepth.h"

#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace brisvale {

void CaptureWindow(QWidget *source, Bitmap &target)
{
    if (!source)
        return;
    const bool topLevel = source->isWindow();
    const QRect outer = topLevel ? source->frameGeometry() : QRect(source->mapToGlobal(QPoint(0, 0)), source->size());
    QPixmap shot;
    // What is on the screen, frame and all; where the window system gives no
    // screen pixels (an off-screen platform), the window paints itself.
    if (QScreen *screen = source->screen(); screen && source->isVisible())
        shot = screen->grabWindow(0, outer.x() - screen->geometry().x(), outer.y() - screen->geometry().y(),
                                  outer.width(), outer.height());
    if (shot.isNull() || shot.size() != outer.size())
        shot = source->grab();
    QImage image = shot.toImage().convertToFormat(QImage::Format_RGB32);
    if (DisplayColorDepth(source) == 8) {
        image = image.convertToFormat(QImage::Format_Indexed8);
        target.setPalette(image.colorTable());
    }
    target.setImage(image);
}

} // namespace brisvale
