#include "controls/SpinEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace brisvale {

SpinEdit::SpinEdit(QWidget *parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(false);
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::edited);
    // A step by the arrows or keys writes the field with its signals blocked.
    connect(this, &QSpinBox::valueChanged, this, [this] { emit edited(lineEdit()->text()); });
}

int SpinEdit::settle(const QString &text) const
{
    bool ok = false;
    const qlonglong typed = text.trimmed().toLongLong(&ok);
    if (!ok)
        return minimum();
    return int(std::clamp<qlonglong>(typed, minimum(), maximum()));
}

bool SpinEdit::event(QEvent *event)
{
    // Letters and Space mean nothing in a number, so they are left to the
    // window's shortcuts instead of being typed into the field.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Space || (key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z))) {
            event->ignore();
            return true;
        }
    }
    return QSpinBox::event(event);
}

QValidator::State SpinEdit::validate(QString &input, int &) const
{
    bool ok = false;
    const qlonglong typed = input.trimmed().toLongLong(&ok);
    if (ok && typed >= minimum() && typed <= maximum())
        return QValidator::Acceptable;
    // Anything may be typed; it is settled when the field loses focus.
    return QValidator::Intermediate;
}

void SpinEdit::fixup(QString &input) const { input = QString::number(settle(input)); }

int SpinEdit::valueFromText(const QString &text) const { return settle(text); }

} // namespace brisvale
