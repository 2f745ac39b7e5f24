#pragma once

#include "game/Cards.h"

#include <QWidget>

namespace brisvale {

// Shows one card image: a face, the joker or a card back.
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
    void setStretch(bool stretch);

    QSize sizeHint() const override { return {kWidth, kHeight}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    cdCardDeck value_ = 1;
    bool stretch_ = false;
    bool pressed_ = false;
};

} // namespace brisvale
