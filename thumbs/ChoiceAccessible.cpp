#include "thumbs/ChoiceAccessible.h"

#include "thumbs/DriveComboBox.h"
#include "thumbs/FilterComboBox.h"

#include <QComboBox>

namespace brisvale {

namespace {

QAccessibleInterface *choiceFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(DriveComboBox::staticMetaObject.className())
        || className == QLatin1String(FilterComboBox::staticMetaObject.className()))
        return new ChoiceAccessible(static_cast<QComboBox *>(object));
    return nullptr;
}

} // namespace

ChoiceAccessible::ChoiceAccessible(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

void ChoiceAccessible::serve(QComboBox *box)
{
    static const bool installed = [] {
        QAccessible::installFactory(choiceFactory);
        return true;
    }();
    (void)installed;
    // Told as an insertion alone: told as a replacement, the reader first
    // says "Selection deleted".
    QObject::connect(box, &QComboBox::currentTextChanged, box, [box](const QString &now) {
        if (QAccessible::isActive() && !now.isEmpty()) {
            QAccessibleTextInsertEvent event(box, 0, now);
            QAccessible::updateAccessibility(&event);
        }
    });
}

QString ChoiceAccessible::choice() const { return static_cast<const QComboBox *>(widget())->currentText(); }

QString ChoiceAccessible::text(QAccessible::Text t) const
{
    // Named by its label for it; without a name of its own, by its choice.
    if ((t == QAccessible::Name && widget()->accessibleName().isEmpty()) || t == QAccessible::Value)
        return choice();
    return QAccessibleWidget::text(t);
}

void *ChoiceAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

void ChoiceAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = selectionIndex == 0 ? characterCount() : 0;
}

QString ChoiceAccessible::text(int startOffset, int endOffset) const
{
    const QString shown = choice();
    if (endOffset < 0 || endOffset > shown.size())
        endOffset = int(shown.size());
    return shown.mid(startOffset, std::max(0, endOffset - startOffset));
}

int ChoiceAccessible::characterCount() const { return int(choice().size()); }

QString ChoiceAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

} // namespace brisvale
