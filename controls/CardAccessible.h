#pragma once

#include <QAccessibleWidget>

namespace brisvale {

class TCardDeck;

// What assistive technology is told about a card slot: a two-state button
// named by its card ("Queen of Spades", "Card back"), with ", held" and the
// checked and pressed states while the card is held. Qt presents a two-state
// button as a check box, as it does its own checkable push buttons. Pressing
// it is a click on the card, which the table takes as a click on the card's
// hold panel.
class CardAccessible : public QAccessibleWidget {
public:
    explicit CardAccessible(TCardDeck *card);

    // Makes Qt ask this class for every card slot; safe to call often.
    static void install();

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    TCardDeck *card() const;
};

} // namespace brisvale
