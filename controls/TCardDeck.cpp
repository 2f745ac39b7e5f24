#include "controls/TCardDeck.h"

#include <QMouseEvent>
#include <QPainter>

namespace brisvale {

TCardDeck::TCardDeck(QWidget *parent) : QWidget(parent)
{
    resize(kWidth, kHeight);
}

void TCardDeck::setValue(cdCardDeck value)
{
    if (value == value_)
        return;
    value_ = value;
    repaint();
}

void TCardDeck::setStretch(bool stretch)
{
    stretch_ = stretch;
    if (!stretch_)
        resize(kWidth, kHeight);
    update();
}

void TCardDeck::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool face = CardSuit(value_) != 0;
    p.setPen(Qt::black);
    p.setBrush(face || value_ == kJoker ? QColor(Qt::white) : QColor(0, 0, 128));
    p.drawRoundedRect(card, 4, 4);
    p.setPen(face && (CardSuit(value_) == 2 || CardSuit(value_) == 4) ? Qt::red : Qt::black);
    if (!face && value_ != kJoker)
        p.setPen(Qt::white);
    p.drawText(rect().adjusted(3, 3, -3, -3), Qt::AlignCenter | Qt::TextWordWrap, CardDisplayName(value_));
}

void TCardDeck::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    QWidget::mousePressEvent(event);
}

void TCardDeck::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

} // namespace brisvale
