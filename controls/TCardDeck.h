#pragma once

#include "controls/Cards.h"

#include <QWidget>

namespace brisvale {

// Shows one card image: a face, the joker or a card back. It paints onto its
// parent's background: the card's rounded corners take the colour found at
// its top-left pixel, and a value without an image leaves the area as the
// parent painted it.
class TCardDeck : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE setValue)
    Q_PROPERTY(bool Stretch READ Stretch WRITE setStretch)
public:
    static constexpr int kWidth = 71;
    static constexpr int kHeight = 96;

    explicit TCardDeck(QWidget *parent = nullptr);

    cdCardDeck Value() const { return value_; }
    // Repaints at once when the value changes; an equal value does nothing.
    void setValue(cdCardDeck value);

    bool Stretch() const { return stretch_; }
    // Off draws the 71 x 96 image at the top-left and resets the size to
    // 71 x 96; on scales the card to the control and keeps the size.
    void setStretch(bool stretch);

    // Whether the table holds this card. Nothing is painted for it (the hold
    // panel shows it); assistive technology is told, in the name and state.
    bool isHeld() const { return held_; }
    void setHeld(bool held);

    QSize sizeHint() const override { return {kWidth, kHeight}; }

signals:
    // A left-button press and release on the card.
    void clicked();
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void paintAtOwnSize(QPainter &p, const QString &name);
    void paintStretched(QPainter &p, const QString &name);

    cdCardDeck value_ = 1;
    bool stretch_ = false;
    bool pressed_ = false;
    bool held_ = false;
};

} // namespace brisvale
