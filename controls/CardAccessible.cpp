#include "controls/CardAccessible.h"

#include "controls/TCardDeck.h"

namespace brisvale {

namespace {

QAccessibleInterface *cardFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(TCardDeck::staticMetaObject.className()))
        return new CardAccessible(static_cast<TCardDeck *>(object));
    return nullptr;
}

} // namespace

CardAccessible::CardAccessible(TCardDeck *card) : QAccessibleWidget(card, QAccessible::CheckBox) {}

void CardAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(cardFactory);
        return true;
    }();
    (void)installed;
}

TCardDeck *CardAccessible::card() const { return static_cast<TCardDeck *>(widget()); }

QString CardAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && card()->accessibleName().isEmpty()) {
        const QString name = CardDisplayName(card()->Value());
        return card()->isHeld() ? name + QStringLiteral(", held") : name;
    }
    return QAccessibleWidget::text(t);
}

QAccessible::State CardAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = card()->isHeld();
    s.pressed = card()->isHeld();
    return s;
}

QStringList CardAccessible::actionNames() const
{
    return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
}

void CardAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() || actionName == toggleAction())
        emit card()->clicked();
    else
        QAccessibleWidget::doAction(actionName);
}

} // namespace brisvale
