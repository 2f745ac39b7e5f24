#include "controls/TCardDeck.h"

#include "controls/CardAccessible.h"
#include "controls/CardImages.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <cmath>

namespace brisvale {

namespace {

// The colour already on the drawing surface under the control's pixel at
// (x, y): what the parent painted there. The surface is the window's backing
// store (or the image a grab renders into); where it cannot be read, the
// parent's background colour stands in.
QColor surfaceColour(QPainter &p, const QWidget *widget, QPoint at)
{
    const QPaintEngine *engine = p.paintEngine();
    QPaintDevice *device = engine ? engine->paintDevice() : nullptr;
    if (device && device->devType() == QInternal::Image) {
        const QImage *image = static_cast<const QImage *>(device);
        const QPointF centre = p.deviceTransform().map(QPointF(at) + QPointF(0.5, 0.5));
        const QPoint pixel(int(std::floor(centre.x())), int(std::floor(centre.y())));
        if (image->rect().contains(pixel)) {
            const QColor colour = image->pixelColor(pixel);
            if (colour.alpha() == 255)
                return colour;
        }
    }
    const QWidget *background = widget->parentWidget() ? widget->parentWidget() : widget;
    return background->palette().color(background->backgroundRole());
}

} // namespace

TCardDeck::TCardDeck(QWidget *parent) : QWidget(parent)
{
    CardAccessible::install();
    resize(kWidth, kHeight);
    // Moves are reported without a button held, as the mouse passes over.
    setMouseTracking(true);
}

void TCardDeck::setValue(cdCardDeck value)
{
    if (value == value_)
        return;
    value_ = value;
    repaint();
    // A screen reader learns the new card without having to move to it.
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void TCardDeck::setHeld(bool held)
{
    if (held == held_)
        return;
    held_ = held;
    QAccessible::State changed;
    changed.checked = true;
    changed.pressed = true;
    QAccessibleStateChangeEvent stateEvent(this, changed);
    QAccessible::updateAccessibility(&stateEvent);
    QAccessibleEvent nameEvent(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameEvent);
}

void TCardDeck::setStretch(bool stretch)
{
    if (stretch == stretch_)
        return;
    if (!stretch)
        resize(kWidth, kHeight);
    stretch_ = stretch;
    update();
}

void TCardDeck::paintEvent(QPaintEvent *)
{
    // Nothing is kept between paints: the image is read afresh each time.
    const QString name = CardImageName(value_);
    QPainter p(this);
    if (stretch_)
        paintStretched(p, name);
    else
        paintAtOwnSize(p, name);
}

void TCardDeck::paintAtOwnSize(QPainter &p, const QString &name)
{
    const QImage image = CardImages::bitmap(name);
    if (image.isNull())
        return;
    // Read before anything is drawn: the table showing at the top-left.
    const QColor table = surfaceColour(p, this, QPoint(0, 0));
    p.drawImage(QPoint(0, 0), image);
    // The image's own corners, not the control's, whatever the control's size.
    for (const QPoint &pt : CardImages::cornerPixels(image.width(), image.height()))
        p.fillRect(QRect(pt, QSize(1, 1)), table);
}

void TCardDeck::paintStretched(QPainter &p, const QString &name)
{
    const qreal ratio = devicePixelRatioF();
    const QSize device(int(std::lround(width() * ratio)), int(std::lround(height() * ratio)));
    if (device.isEmpty())
        return;
    const QImage art = CardImages::rendition(name, CardImages::bestScale(device));
    if (art.isNull())
        return;
    const QColor table = surfaceColour(p, this, QPoint(0, 0));
    QImage card = art.size() == device ? art : art.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    card.setDevicePixelRatio(ratio);
    // The rendition's corners are transparent; the table's colour fills them,
    // as the corner pixels do at 71 x 96.
    p.fillRect(rect(), table);
    p.drawImage(QPointF(0, 0), card);
}

void TCardDeck::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TCardDeck::mouseMoveEvent(QMouseEvent *event) { emit mouseMove(event->modifiers(), event->position().toPoint()); }

void TCardDeck::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        pressed_ = false;
    emit mouseUp(event->button(), event->modifiers(), event->position().toPoint());
    if (click)
        emit clicked();
}

void TCardDeck::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click still counts as a press, so quick
    // clicks on a card each toggle it, as on its hold panel.
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

} // namespace brisvale
