#include "controls/SpinEdit.h"

#include <QLineEdit>
#include <algorithm>

namespace brisvale {

SpinEdit::SpinEdit(QWidget *parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(false);
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::edited);
}

int SpinEdit::settle(const QString &text) const
{
    bool ok = false;
    const qlonglong typed = text.trimmed().toLongLong(&ok);
    if (!ok)
        return minimum();
    return int(std::clamp<qlonglong>(typed, minimum(), maximum()));
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

void SpinEdit::fixup(QString &input) const
{
    input = QString::number(settle(input));
}

int SpinEdit::valueFromText(const QString &text) const
{
    return settle(text);
}

} // namespace brisvale
