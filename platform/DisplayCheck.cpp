#include "platform/DisplayCheck.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QPaintDevice>
#include <QScreen>
#include <QWindow>

namespace brisvale::platform {

QString unpaintableDisplayText()
{
    // A window is drawn through its backing store: probe one that is never
    // shown, without the toolkit's own warnings about the failed probe.
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &) {});
    QWindow probe;
    probe.setSurfaceType(QSurface::RasterSurface);
    probe.resize(1, 1);
    probe.create();
    QBackingStore store(&probe);
    store.resize(QSize(1, 1));
    store.beginPaint(QRegion(0, 0, 1, 1));
    const QPaintDevice *device = store.paintDevice();
    const bool paintable = device
                           && (device->devType() != QInternal::Image
                               || static_cast<const QImage *>(device)->format() != QImage::Format_Invalid);
    store.endPaint();
    qInstallMessageHandler(previous);
    if (paintable)
        return QString();
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int depth = screen ? screen->depth() : 0;
    return QStringLiteral("The display's colour depth (%1 bits per pixel) is not supported: "
                          "start the game on a display of 16 bits or more.")
        .arg(depth);
}

} // namespace brisvale::platform
