#include "thumbs/ButtonArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QToolButton>
#include <cmath>
#include <functional>

namespace brisvale::buttonart {

namespace {

constexpr int kSize = 64;

QPixmap draw(const std::function<void(QPainter &)> &paint, int size = kSize)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    paint(p);
    return pixmap;
}

QIcon icon(const std::function<void(QPainter &)> &paint) { return QIcon(draw(paint)); }

void cameraBody(QPainter &p, const QRectF &body)
{
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(70, 70, 80));
    p.drawRoundedRect(body, 5, 5);
}

} // namespace

QIcon camera()
{
    return icon([](QPainter &p) {
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(QColor(90, 90, 100));
        p.drawRect(QRectF(22, 12, 18, 8));
        cameraBody(p, QRectF(6, 18, 52, 34));
        p.setBrush(QColor(40, 110, 200));
        p.drawEllipse(QPointF(32, 35), 12, 12);
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(QPointF(29, 32), 4, 4);
        p.setBrush(QColor(255, 220, 80));
        p.drawRect(QRectF(47, 22, 7, 5));
    });
}

QIcon movieCamera()
{
    return icon([](QPainter &p) {
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(QColor(60, 60, 70));
        p.drawEllipse(QPointF(16, 16), 10, 10);
        p.drawEllipse(QPointF(38, 16), 10, 10);
        cameraBody(p, QRectF(4, 26, 40, 26));
        p.setBrush(QColor(40, 110, 200));
        p.drawPolygon(QPolygonF({QPointF(44, 34), QPointF(60, 26), QPointF(60, 52), QPointF(44, 44)}));
        p.setBrush(QColor(220, 40, 40));
        p.drawEllipse(QPointF(12, 32), 3, 3);
    });
}

QIcon landscape()
{
    return icon([](QPainter &p) {
        p.setPen(QPen(QColor(110, 70, 20), 4));
        p.setBrush(QColor(150, 200, 255));
        p.drawRect(QRectF(6, 10, 52, 44));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 210, 40));
        p.drawEllipse(QPointF(44, 22), 6, 6);
        p.setBrush(QColor(40, 140, 50));
        p.drawPolygon(QPolygonF({QPointF(8, 52), QPointF(24, 26), QPointF(36, 42), QPointF(44, 34), QPointF(56, 52)}));
    });
}

QIcon blackCross()
{
    return icon([](QPainter &p) {
        p.setPen(QPen(Qt::black, 10, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(QPointF(14, 14), QPointF(50, 50));
        p.drawLine(QPointF(50, 14), QPointF(14, 50));
    });
}

QIcon windowWithCross()
{
    return icon([](QPainter &p) {
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 8, 52, 48));
        p.setBrush(QColor(0, 0, 128));
        p.drawRect(QRectF(6, 8, 52, 9));
        p.setPen(QPen(QColor(220, 20, 20), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20, 25), QPointF(44, 49));
        p.drawLine(QPointF(44, 25), QPointF(20, 49));
    });
}

QIcon door()
{
    const QPixmap closed = draw([](QPainter &p) {
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(QColor(120, 70, 30));
        p.drawRect(QRectF(16, 6, 32, 54));
        p.setBrush(QColor(255, 210, 60));
        p.drawEllipse(QPointF(42, 34), 3, 3);
    });
    const QPixmap open = draw([](QPainter &p) {
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(QColor(20, 20, 20));
        p.drawRect(QRectF(16, 6, 32, 54));
        p.setBrush(QColor(150, 95, 45));
        p.drawPolygon(QPolygonF({QPointF(16, 6), QPointF(30, 12), QPointF(30, 56), QPointF(16, 60)}));
    });
    QIcon icon(closed);
    icon.addPixmap(open, QIcon::Active, QIcon::On);
    icon.addPixmap(open, QIcon::Selected, QIcon::Off);
    return icon;
}

QIcon stopSign()
{
    return icon([](QPainter &p) {
        QPolygonF octagon;
        for (int i = 0; i < 8; ++i) {
            const double a = (22.5 + 45.0 * i) * M_PI / 180.0;
            octagon << QPointF(32 + 28 * std::cos(a), 32 + 28 * std::sin(a));
        }
        p.setPen(QPen(Qt::white, 3));
        p.setBrush(QColor(200, 0, 0));
        p.drawPolygon(octagon);
        p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(18, 32), QPointF(46, 32));
    });
}

QPixmap wasteBin(const QSize &size)
{
    const int side = std::max(1, std::min(size.width(), size.height()));
    return draw(
        [](QPainter &p) {
            p.setPen(QPen(Qt::black, 2));
            p.setBrush(QColor(150, 155, 165));
            p.drawPolygon(QPolygonF({QPointF(14, 16), QPointF(50, 16), QPointF(45, 60), QPointF(19, 60)}));
            p.drawRect(QRectF(10, 9, 44, 7));
            p.drawRect(QRectF(26, 4, 12, 5));
            for (int x : {24, 32, 40})
                p.drawLine(QPointF(x, 22), QPointF(x, 54));
        },
        side);
}

QToolButton *speedButton(QWidget *parent, const char *name, const QIcon &icon, const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(icon);
    button->setToolTip(hint);
    // A picture is all it shows; its hint says what it does.
    button->setAccessibleName(hint);
    button->setAutoRaise(false);
    return button;
}

} // namespace brisvale::buttonart
