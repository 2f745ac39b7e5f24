#include "imaging/DisplayDepth.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>
#include <QWindow>

namespace brisvale {

int DepthCodeForBits(int bitsPerPixel)
{
    if (bitsPerPixel <= 4)
        return 4;
    if (bitsPerPixel <= 15)
        return 8;
    return 24;
}

namespace {
int screenBits(const QScreen *screen) { return screen ? screen->depth() : 24; }
} // namespace

int DisplayColorDepth(const QPaintDevice *device)
{
    if (device)
        return DepthCodeForBits(device->depth());
    return DepthCodeForBits(screenBits(QGuiApplication::primaryScreen()));
}

int FocusDisplayColorDepth()
{
    const QWindow *focus = QGuiApplication::focusWindow();
    return DepthCodeForBits(screenBits(focus ? focus->screen() : QGuiApplication::primaryScreen()));
}

} // namespace brisvale
